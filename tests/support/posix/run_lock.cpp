#include "support/run_lock.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pelorix::test {

RunLock::RunLock(Kind kind) {
    const QByteArray path = QFile::encodeName(QDir::tempPath() + "/pelorix-e2e-runs.lock");
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        ::flock(int(fd_), kind == Kind::Exclusive ? LOCK_EX : LOCK_SH);
    }
}

RunLock::~RunLock() {
    if (fd_ >= 0) {
        ::close(int(fd_));  // releases the lock
    }
}

}  // namespace pelorix::test
