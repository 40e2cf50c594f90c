// A program of the demo release: says which one ran, by its own file name. With --wait it keeps
// running until its input ends; with --hold it also holds its own file open, letting others read
// it only.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

void waitForTheEndOfInput() {
    char buffer[64];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) &&
           read > 0) {
    }
}

int holdOwnFile(const wchar_t* path) {
    // Others may read the file but neither write, rename nor delete it while it is held.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::wprintf(L"cannot hold %ls: error %lu\n", path, GetLastError());
        return 1;
    }
    std::wprintf(L"running\n");
    std::fflush(stdout);
    waitForTheEndOfInput();
    CloseHandle(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (argc > 1 && std::wcscmp(argv[1], L"--hold") == 0) {
        return holdOwnFile(path);
    }
    if (argc > 1 && std::wcscmp(argv[1], L"--wait") == 0) {
        std::wprintf(L"running\n");
        std::fflush(stdout);
        waitForTheEndOfInput();
        return 0;
    }
    const wchar_t* slash = wcsrchr(path, L'\\');
    std::wprintf(L"%ls (Pelorix demo release) ran\n", slash ? slash + 1 : path);
    return 0;
}
