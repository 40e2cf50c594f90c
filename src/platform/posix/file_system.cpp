#include "platform/posix/file_system.h"

#include "platform/posix/file_io.h"
#include "platform/windows_names.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>

// The lookups of the file layer: name resolution, existence tests, listings and reads.
namespace pelorix::platform {
namespace {

using posix::entryStatus;
using posix::targetStatus;

// The raw names of a folder, without "." and "..".
QStringList namesIn(const QString& folder) {
    QStringList names;
    DIR* dir = ::opendir(posix::nativePath(folder).constData());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..") {
            names.append(name);
        }
    }
    ::closedir(dir);
    return names;
}

// Windows order: without regard to case, ties by the exact name so that the order is stable.
bool windowsNameOrder(const QString& a, const QString& b) {
    const int byCase = QString::compare(a, b, Qt::CaseInsensitive);
    return byCase != 0 ? byCase < 0 : a < b;
}

std::optional<QString> entryNamedIgnoringCase(const QString& folder, const QString& name) {
    QStringList candidates = namesIn(folder);
    candidates.removeIf([&](const QString& c) { return !sameNameIgnoringCase(c, name); });
    if (candidates.isEmpty()) {
        return std::nullopt;
    }
    return *std::min_element(candidates.begin(), candidates.end(), windowsNameOrder);
}

bool isPlaceholderComponent(const QString& part) {
    return part.isEmpty() || part == u"." || part == u"..";
}

QString lastComponent(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

bool isHiddenName(const QString& name) {
    return name.startsWith(u'.');
}

// The folder part of a path as it is listed: "." for a bare name, "/" for the root.
QString folderForListing(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return QStringLiteral(".");
    }
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

}  // namespace

QString PosixFileSystem::resolve(const QString& path) const {
    const QStringList parts = path.split(u'/');
    QString resolved;
    bool searching = true;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        const QString prefix = i == 0 ? QString() : resolved + u'/';
        if (searching && !isPlaceholderComponent(part) && !entryStatus(prefix + part)) {
            const QString folder = i == 0 ? QStringLiteral(".") : folderForListing(prefix);
            if (const auto match = entryNamedIgnoringCase(folder, part)) {
                part = *match;
            } else {
                // Nothing below a missing component can exist; keep the rest as given.
                searching = false;
            }
        }
        resolved = prefix + part;
    }
    return resolved;
}

bool PosixFileSystem::normalFileExists(const QString& path) const {
    const QString resolved = resolve(path);
    const auto status = targetStatus(resolved);
    return status && S_ISREG(status->st_mode) && !isHiddenName(lastComponent(resolved));
}

bool PosixFileSystem::entryExists(const QString& path) const {
    const QString resolved = resolve(path);
    const auto status = targetStatus(resolved);
    if (!status) {
        return false;
    }
    return S_ISDIR(status->st_mode) ||
           (S_ISREG(status->st_mode) && !isHiddenName(lastComponent(resolved)));
}

bool PosixFileSystem::anyMatch(const QString& pattern) const {
    const QString namePattern = lastComponent(pattern);
    if (namePattern.isEmpty()) {
        return false;
    }
    if (!hasWildcards(namePattern)) {
        return entryStatus(resolve(pattern)).has_value();
    }
    const QString folder =
        folderForListing(resolve(pattern.left(pattern.size() - namePattern.size())));
    const auto folderStatus = targetStatus(folder);
    if (!folderStatus || !S_ISDIR(folderStatus->st_mode)) {
        return false;
    }
    QStringList names = namesIn(folder);
    // Find-first-file also reports the entries "." and ".." of every folder but the root.
    if (folder != u"/") {
        names << QStringLiteral(".") << QStringLiteral("..");
    }
    return std::any_of(names.begin(), names.end(),
                       [&](const QString& name) { return matchesWildcard(name, namePattern); });
}

bool PosixFileSystem::isReadOnly(const QString& path) const {
    const auto status = targetStatus(resolve(path));
    return status && posix::isReadOnlyFile(*status);
}

std::vector<DirEntry> PosixFileSystem::list(const QString& folder) const {
    const QString resolved = resolve(folder);
    QStringList names = namesIn(resolved);
    std::sort(names.begin(), names.end(), windowsNameOrder);
    std::vector<DirEntry> entries;
    entries.reserve(names.size());
    for (const QString& name : names) {
        const QString full = resolved.endsWith(u'/') ? resolved + name : resolved + u'/' + name;
        const auto status = targetStatus(full);
        DirEntry entry;
        entry.name = name;
        entry.isFolder = status && S_ISDIR(status->st_mode);
        entry.isHidden = isHiddenName(name);
        entry.isSystem = !status || !(S_ISDIR(status->st_mode) || S_ISREG(status->st_mode));
        entries.push_back(entry);
    }
    return entries;
}

Fallible<QByteArray> PosixFileSystem::readFile(const QString& path) const {
    // Non-blocking, so that opening a FIFO cannot hang; only regular files are read.
    const int fd =
        ::open(posix::nativePath(resolve(path)).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Outcome::failureFromErrno();
    }
    struct stat status {};
    Fallible<QByteArray> contents = Outcome::failure(QStringLiteral("not a regular file"));
    if (::fstat(fd, &status) != 0) {
        contents = Outcome::failureFromErrno();
    } else if (S_ISREG(status.st_mode)) {
        std::optional<QByteArray> bytes = posix::readAll(fd);
        contents = bytes ? Fallible<QByteArray>(std::move(*bytes)) : Outcome::failureFromErrno();
    }
    ::close(fd);
    return contents;
}

FileSystem& defaultFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace pelorix::platform
