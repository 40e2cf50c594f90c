#include "platform/exclusive_lock.h"

#include "platform/outcome.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorix::platform {

namespace {

// Each attempt that finds its file removed under it tries again with the one at the path now.
constexpr int kLockAttempts = 100;

class FlockLock final : public ExclusiveLock {
  public:
    FlockLock(int fd, QByteArray removedPath) : fd_(fd), removedPath_(std::move(removedPath)) {}
    // Removed while still held: a run that opened the file meanwhile finds it gone and retries.
    ~FlockLock() override {
        if (!removedPath_.isEmpty()) {
            ::unlink(removedPath_.constData());
        }
        ::close(fd_);
    }
    FlockLock(const FlockLock&) = delete;
    FlockLock& operator=(const FlockLock&) = delete;

  private:
    int fd_;
    QByteArray removedPath_;
};

bool isStillAtPath(int fd, const QByteArray& path) {
    struct stat locked {};
    struct stat atPath {};
    return ::fstat(fd, &locked) == 0 && ::stat(path.constData(), &atPath) == 0 &&
           locked.st_dev == atPath.st_dev && locked.st_ino == atPath.st_ino;
}

// One open and lock; no lock and no failure when the file locked was removed meanwhile.
LockResult lockOnce(const QByteArray& path, LockFile file) {
    // Close-on-exec: a registrar or main program started during the run must not keep it.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return {LockAttempt::Unavailable, nullptr, Outcome::failureFromErrno().reason()};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return {LockAttempt::HeldElsewhere, nullptr, {}};
        }
        return {LockAttempt::Unavailable, nullptr, Outcome::failureFromErrno(error).reason()};
    }
    if (file == LockFile::Kept) {
        return {LockAttempt::Taken, std::make_unique<FlockLock>(fd, QByteArray()), {}};
    }
    if (!isStillAtPath(fd, path)) {
        ::close(fd);
        return {LockAttempt::Taken, nullptr, {}};
    }
    return {LockAttempt::Taken, std::make_unique<FlockLock>(fd, path), {}};
}

}  // namespace

LockResult tryExclusiveLock(const QString& path, LockFile file) {
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        LockResult result = lockOnce(native, file);
        if (result.attempt != LockAttempt::Taken || result.lock) {
            return result;
        }
    }
    return {LockAttempt::Unavailable, nullptr, "the lock file is removed again and again"};
}

bool isLockHeldElsewhere(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace pelorix::platform
