#include "platform/exclusive_lock.h"

#include "platform/outcome.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pelorix::platform {

namespace {

class FlockLock final : public ExclusiveLock {
  public:
    explicit FlockLock(int fd) : fd_(fd) {}
    ~FlockLock() override { ::close(fd_); }
    FlockLock(const FlockLock&) = delete;
    FlockLock& operator=(const FlockLock&) = delete;

  private:
    int fd_;
};

}  // namespace

LockResult tryExclusiveLock(const QString& path) {
    // Close-on-exec: a registrar or main program started during the run must not keep it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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
    return {LockAttempt::Taken, std::make_unique<FlockLock>(fd), {}};
}

}  // namespace pelorix::platform
