// The libraries of the demo release: registering one writes
//   HKCR\CLSID\{class}\InprocServer32 = the library's own path
//   HKCR\Pelorix.<name>\CLSID = {class}
// where <name> is the library's file name without ".dll" and {class} is derived from it, so
// that every copy registers a class of its own and `reg query HKCR\Pelorix.<name>\CLSID` finds it.
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

HMODULE module = nullptr;

std::wstring ownPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring baseName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// FNV-1a over the lower-case name, with two seeds for the two halves of the class.
unsigned long long hashOf(const std::wstring& name, unsigned long long seed) {
    unsigned long long hash = seed;
    for (const wchar_t c : name) {
        hash = (hash ^ static_cast<unsigned long long>(std::towlower(c))) * 0x100000001b3ULL;
    }
    return hash;
}

std::wstring classOf(const std::wstring& name) {
    const unsigned long long high = hashOf(name, 0xcbf29ce484222325ULL);
    const unsigned long long low = hashOf(name, 0x84222325cbf29ce4ULL);
    wchar_t text[40] = {};
    std::swprintf(text, 40, L"{%08lX-%04lX-%04lX-%04lX-%012llX}",
                  static_cast<unsigned long>(high >> 32),
                  static_cast<unsigned long>((high >> 16) & 0xFFFF),
                  static_cast<unsigned long>(high & 0xFFFF), static_cast<unsigned long>(low >> 48),
                  low & 0xFFFFFFFFFFFFULL);
    return text;
}

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LONG result = RegSetValueExW(handle, name, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::wstring path = ownPath();
    const std::wstring name = baseName(path);
    const std::wstring classKey = L"CLSID\\" + classOf(name);
    const bool written =
        setValue(classKey, nullptr, L"Pelorix demo library " + name) &&
        setValue(classKey + L"\\InprocServer32", nullptr, path) &&
        setValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
        setValue(L"Pelorix." + name + L"\\CLSID", nullptr, classOf(name));
    return written ? S_OK : E_FAIL;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    const std::wstring name = baseName(ownPath());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + classOf(name)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"Pelorix." + name).c_str());
    return S_OK;
}
