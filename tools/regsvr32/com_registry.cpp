#include "com_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

namespace pelorix::regsvr32 {

namespace {

// Holds an exclusive flock on a file for its lifetime; released on close.
class FileLock {
  public:
    explicit FileLock(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }

  private:
    int fd_;
};

}  // namespace

ComRegistry::ComRegistry(QString filePath) : filePath_(std::move(filePath)) {}

QString ComRegistry::defaultPath() {
    const QString configured = qEnvironmentVariable("PELORIX_COM_REGISTRY");
    if (!configured.isEmpty()) {
        return configured;
    }
    return qEnvironmentVariable("HOME") + "/.local/state/pelorix/com-registry.txt";
}

bool ComRegistry::update(const std::function<void(QStringList& paths)>& change) {
    if (!QDir().mkpath(QFileInfo(filePath_).absolutePath())) {
        return false;
    }
    FileLock lock(filePath_ + ".lock");
    QStringList paths;
    if (!lock.held() || !readUnlocked(paths)) {
        return false;
    }
    change(paths);
    return writeUnlocked(paths);
}

bool ComRegistry::read(QStringList& paths) {
    if (!QFileInfo::exists(filePath_)) {
        paths.clear();
        return true;
    }
    FileLock lock(filePath_ + ".lock");
    return lock.held() && readUnlocked(paths);
}

bool ComRegistry::readUnlocked(QStringList& paths) const {
    paths.clear();
    QFile file(filePath_);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (!line.isEmpty()) {
            paths.append(QFile::decodeName(line));
        }
    }
    return true;
}

bool ComRegistry::writeUnlocked(const QStringList& paths) const {
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const QString& path : paths) {
        file.write(QFile::encodeName(path) + '\n');
    }
    return file.commit();
}

}  // namespace pelorix::regsvr32
