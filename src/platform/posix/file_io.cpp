#include "platform/posix/file_io.h"

#include "platform/windows_names.h"

#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace pelorix::platform::posix {
namespace {

constexpr qint64 kChunkSize = 64 * 1024;
constexpr int kTempNameAttempts = 100;

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return QString();
    }
    return path.left(slash + 1);
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// Temporary files are named ".~" + the final name + "." + a random tag + ".tmp".
QString tempPrefix(const QString& finalPath) {
    return QStringLiteral(".~") + fileNameOf(finalPath) + u'.';
}

bool isTempNameFor(const QString& name, const QString& prefix) {
    const QLatin1String suffix(".tmp");
    // Names are found without regard to case: the temporary may carry the case of another call.
    if (!name.startsWith(prefix, Qt::CaseInsensitive) || !name.endsWith(suffix) ||
        name.size() <= prefix.size() + suffix.size()) {
        return false;
    }
    const QStringView tag = QStringView(name).mid(prefix.size()).chopped(suffix.size());
    return std::all_of(tag.begin(), tag.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

}  // namespace

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

std::optional<struct stat> entryStatus(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::lstat(nativePath(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

std::optional<struct stat> targetStatus(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(nativePath(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

bool isReadOnlyFile(const struct stat& status) {
    return S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool copyContents(int fromFd, int toFd) {
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fromFd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (!writeAll(toFd, buffer.constData(), got)) {
            return false;
        }
    }
}

std::optional<QByteArray> readAll(int fd) {
    QByteArray contents;
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return contents;
        }
        contents.append(buffer.constData(), got);
    }
}

DescriptorWriter::~DescriptorWriter() {
    close();
}

bool DescriptorWriter::write(const char* data, qint64 size) {
    if (fd_ < 0 || size < 0 || failed_) {
        failed_ = true;
        return false;
    }
    if (!writeAll(fd_, data, size)) {
        failed_ = true;
    }
    return !failed_;
}

bool DescriptorWriter::close() {
    if (fd_ >= 0) {
        if (::close(fd_) != 0) {
            failed_ = true;
        }
        fd_ = -1;
    }
    return !failed_;
}

std::optional<TempFile> createTempBeside(const QString& finalPath, mode_t mode) {
    const QString prefix = folderOf(finalPath) + tempPrefix(finalPath);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const QString candidate = prefix +
                                  QString::number(QRandomGenerator::global()->generate(), 36) +
                                  QStringLiteral(".tmp");
        const int fd = ::open(nativePath(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return TempFile{candidate, fd};
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void removeLeftoverTemps(const QString& finalPath) {
    const QString folder = folderOf(finalPath);
    DIR* listing = ::opendir(folder.isEmpty() ? "." : nativePath(folder).constData());
    if (!listing) {
        return;
    }
    const QString prefix = tempPrefix(finalPath);
    while (const dirent* entry = ::readdir(listing)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (isTempNameFor(name, prefix)) {
            ::unlink(nativePath(folder + name).constData());
        }
    }
    ::closedir(listing);
}

void discard(const TempFile& temp) {
    if (temp.fd >= 0) {
        ::close(temp.fd);
    }
    ::unlink(nativePath(temp.path).constData());
}

bool finish(TempFile& temp) {
    const bool synced = ::fsync(temp.fd) == 0;
    const bool closed = ::close(temp.fd) == 0;
    temp.fd = -1;
    return synced && closed;
}

bool renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = nativePath(from);
    const QByteArray target = nativePath(to);
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the flag: check, then rename.
    if (entryStatus(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

bool renameReplacing(const QString& from, const QString& to) {
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}

mode_t creationMode(const QString& path) {
    return isProgramName(fileNameOf(path)) ? 0755 : 0644;
}

}  // namespace pelorix::platform::posix
