// A program of the demo release: says which one ran, by its own file name.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* slash = wcsrchr(path, L'\\');
    std::wprintf(L"%ls (Pelorix demo release) ran\n", slash ? slash + 1 : path);
    return 0;
}
