#include "platform/durable_append.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace pelorix::platform {

namespace {

bool syncFolderOf(const QString& path) {
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;  // a write that makes no progress has no errno of its own
            }
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

Outcome appendDurably(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    const bool created = ::access(native.constData(), F_OK) != 0;
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Outcome::failureFromErrno();
    }
    Outcome outcome =
        writeAll(fd, bytes) && ::fsync(fd) == 0 ? Outcome::success() : Outcome::failureFromErrno();
    if (::close(fd) != 0 && outcome) {
        outcome = Outcome::failureFromErrno();
    }
    if (outcome && created && !syncFolderOf(path)) {
        outcome = Outcome::failureFromErrno();
    }
    return outcome;
}

}  // namespace pelorix::platform
