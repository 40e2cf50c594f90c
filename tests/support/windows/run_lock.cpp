#include "support/run_lock.h"

#include <QDir>

#include <windows.h>

namespace pelorix::test {

RunLock::RunLock(Kind kind) {
    const QString path = QDir::toNativeSeparators(QDir::tempPath() + "/pelorix-e2e-runs.lock");
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()),
                              GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    OVERLAPPED whole{};
    const DWORD flags = kind == Kind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    LockFileEx(file, flags, 0, 1, 0, &whole);
    fd_ = reinterpret_cast<long long>(file);
}

RunLock::~RunLock() {
    if (fd_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(fd_));  // releases the lock
    }
}

}  // namespace pelorix::test
