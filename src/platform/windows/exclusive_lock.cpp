#include "platform/exclusive_lock.h"

#include "platform/windows/owned_handle.h"
#include "platform/windows/win32_error.h"

#include <QDir>

#include <windows.h>

namespace pelorix::platform {

namespace {

// Each attempt that finds its file removed under it tries again with the one at the path now.
constexpr int kLockAttempts = 100;
// A file removed while another run still has it open stays "delete pending" until that handle
// goes, and opening it is refused meanwhile; a moment later it is gone.
constexpr DWORD kDeletePendingPauseMs = 10;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring nativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// The lock is on the first byte: every holder asks for the same range.
bool lockFirstByte(HANDLE file) {
    OVERLAPPED at{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void unlockFirstByte(HANDLE file) {
    OVERLAPPED at{};
    UnlockFileEx(file, 0, 1, 0, &at);
}

class FileRangeLock final : public ExclusiveLock {
  public:
    FileRangeLock(HANDLE file, std::wstring removedPath)
        : file_(file), removedPath_(std::move(removedPath)) {}
    // Removed while still held: a run that opened the file meanwhile finds it gone and retries.
    ~FileRangeLock() override {
        if (!removedPath_.empty()) {
            DeleteFileW(removedPath_.c_str());
        }
        // The system would let the lock go with the handle too, but not necessarily at once.
        unlockFirstByte(file_.get());
    }
    FileRangeLock(const FileRangeLock&) = delete;
    FileRangeLock& operator=(const FileRangeLock&) = delete;

  private:
    OwnedHandle file_;
    std::wstring removedPath_;
};

bool sameFile(const BY_HANDLE_FILE_INFORMATION& one, const BY_HANDLE_FILE_INFORMATION& other) {
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

bool isStillAtPath(HANDLE locked, const std::wstring& path) {
    const OwnedHandle atPath(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION lockedInfo{};
    BY_HANDLE_FILE_INFORMATION atPathInfo{};
    return atPath.isValid() && GetFileInformationByHandle(locked, &lockedInfo) &&
           GetFileInformationByHandle(atPath.get(), &atPathInfo) &&
           sameFile(lockedInfo, atPathInfo);
}

// Taken without a lock: the file went meanwhile, try again (the reason says why, if known).
LockResult tryAgain(QString reason = {}) {
    return {LockAttempt::Taken, nullptr, std::move(reason)};
}

// One open and lock. The handle is not inherited: programs the run starts must not keep it.
LockResult lockOnce(const std::wstring& path, LockFile file) {
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && file == LockFile::RemovedOnRelease) {
            Sleep(kDeletePendingPauseMs);
            return tryAgain(errorText(error));
        }
        return {LockAttempt::Unavailable, nullptr, errorText(error)};
    }
    OwnedHandle handle(opened);
    if (!lockFirstByte(opened)) {
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION) {
            return {LockAttempt::HeldElsewhere, nullptr, {}};
        }
        return {LockAttempt::Unavailable, nullptr, errorText(error)};
    }
    if (file == LockFile::RemovedOnRelease && !isStillAtPath(opened, path)) {
        unlockFirstByte(opened);
        return tryAgain();
    }
    const std::wstring removedPath = file == LockFile::RemovedOnRelease ? path : std::wstring();
    return {LockAttempt::Taken, std::make_unique<FileRangeLock>(handle.release(), removedPath), {}};
}

}  // namespace

LockResult tryExclusiveLock(const QString& path, LockFile file) {
    const std::wstring native = nativePath(path);
    QString lastReason;
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        LockResult result = lockOnce(native, file);
        if (result.attempt != LockAttempt::Taken || result.lock) {
            return result;
        }
        lastReason = result.unavailableReason;
    }
    return {LockAttempt::Unavailable, nullptr,
            lastReason.isEmpty() ? QStringLiteral("the lock file is removed again and again")
                                 : lastReason};
}

bool isLockHeldElsewhere(const QString& path) {
    const OwnedHandle file(CreateFileW(nativePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) {
        return false;
    }
    if (lockFirstByte(file.get())) {
        unlockFirstByte(file.get());
        return false;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION;
}

}  // namespace pelorix::platform
