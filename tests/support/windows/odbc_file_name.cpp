#include "support/database_fixture.h"

#include <QDir>

#include <windows.h>

#include <cstdlib>

namespace pelorix::test {

// Wine's kernel32 names the Linux file behind a Windows path; on Windows itself the path stays.
QString odbcDriverFileName(const QString& file) {
    using UnixFileName = char* (*)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixFileName == nullptr) {
        return file;
    }
    const std::wstring native = QDir::toNativeSeparators(file).toStdWString();
    char* name = unixFileName(native.c_str());
    if (name == nullptr) {
        return file;
    }
    const QString linuxName = QString::fromUtf8(name);
    ::HeapFree(::GetProcessHeap(), 0, name);  // Wine allocates it from the process heap
    return linuxName;
}

}  // namespace pelorix::test
