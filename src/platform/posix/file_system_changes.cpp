#include "platform/posix/file_io.h"
#include "platform/posix/file_system.h"

#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

// The changing operations of the file layer. Read-only files are checked by their mode bits
// here, because root passes every permission check of the kernel.
namespace pelorix::platform {
namespace {

using posix::entryStatus;
using posix::nativePath;

QString parentPlusName(const QString& resolvedParentOf, const QString& givenPath) {
    const QString name = givenPath.mid(givenPath.lastIndexOf(u'/') + 1);
    const qsizetype slash = resolvedParentOf.lastIndexOf(u'/');
    return slash < 0 ? name : resolvedParentOf.left(slash + 1) + name;
}

// Where a write of the path lands: a symbolic link is written through, so that it stays a link
// and the file it leads to gets the contents.
QString throughLink(const QString& path) {
    const QFileInfo entry(path);
    if (!entry.isSymLink()) {
        return path;
    }
    const QString target = entry.canonicalFilePath();
    return target.isEmpty() ? entry.symLinkTarget() : target;
}

// Why an existing entry may not be replaced by a file: a folder or a read-only file.
std::optional<Outcome> refusalOfNewContents(const std::optional<struct stat>& status) {
    if (status && S_ISDIR(status->st_mode)) {
        return Outcome::failureFromErrno(EISDIR);
    }
    if (status && posix::isReadOnlyFile(*status)) {
        return Outcome::failure(QStringLiteral("the file is read-only"));
    }
    return std::nullopt;
}

Outcome writeThroughTemp(const QString& target, const QByteArray& bytes, mode_t creationMode,
                         const std::optional<struct stat>& existing) {
    auto temp = posix::createTempBeside(target, creationMode);
    if (!temp) {
        return Outcome::failureFromErrno();
    }
    bool ok = posix::writeAll(temp->fd, bytes.constData(), bytes.size());
    if (ok && existing) {
        // The new contents keep the old file's mode and owner.
        ok = ::fchmod(temp->fd, existing->st_mode & 07777) == 0;
        [[maybe_unused]] const int ignored = ::fchown(temp->fd, existing->st_uid, existing->st_gid);
    }
    if (!ok || !posix::finish(*temp) || !posix::renameReplacing(temp->path, target)) {
        Outcome failure = Outcome::failureFromErrno();
        posix::discard(*temp);
        return failure;
    }
    return Outcome::success();
}

}  // namespace

Outcome PosixFileSystem::deleteFile(const QString& path) {
    const QString resolved = resolve(path);
    const auto status = entryStatus(resolved);
    if (!status) {
        return Outcome::failureFromErrno();
    }
    if (auto refusal = refusalOfNewContents(status)) {
        return *refusal;
    }
    if (::unlink(nativePath(resolved).constData()) != 0) {
        return Outcome::failureFromErrno();
    }
    return Outcome::success();
}

Outcome PosixFileSystem::moveFile(const QString& from, const QString& to) {
    const QString source = resolve(from);
    const auto sourceStatus = entryStatus(source);
    if (!sourceStatus) {
        return Outcome::failureFromErrno();
    }
    // A link moved into place would make the installed name point wherever the link points.
    if (S_ISLNK(sourceStatus->st_mode)) {
        return Outcome::failure(QStringLiteral("a symbolic link is not moved"));
    }
    QString target = resolve(to);
    if (target == source) {
        // The same entry: only the case of its name changes, as Windows allows.
        target = parentPlusName(target, to);
        if (target == source || posix::renameReplacing(source, target)) {
            return Outcome::success();
        }
        return Outcome::failureFromErrno();
    }
    if (posix::renameNoReplace(source, target)) {
        return Outcome::success();
    }
    return errno == EXDEV ? moveAcrossFileSystems(source, target) : Outcome::failureFromErrno();
}

Outcome PosixFileSystem::moveAcrossFileSystems(const QString& from, const QString& to) {
    const auto status = entryStatus(from);
    if (!status || !S_ISREG(status->st_mode)) {
        return Outcome::failure(QStringLiteral("only a file moves to another file system"));
    }
    if (Outcome copied = copyInto(from, to, false); !copied) {
        return copied;
    }
    if (::unlink(nativePath(from).constData()) != 0) {
        Outcome failure = Outcome::failureFromErrno();
        // Keep the move whole: without the source removed, the copy goes again.
        ::unlink(nativePath(to).constData());
        return failure;
    }
    return Outcome::success();
}

Outcome PosixFileSystem::copyFile(const QString& from, const QString& to, bool replaceExisting) {
    return copyInto(resolve(from), resolve(to), replaceExisting);
}

// Copies between resolved paths through a temporary file, so that a failed copy leaves the
// destination as it was; the copy gets the source's mode (a program stays executable).
Outcome PosixFileSystem::copyInto(const QString& from, const QString& to, bool replaceExisting) {
    const auto source = posix::targetStatus(from);
    if (!source) {
        return Outcome::failureFromErrno();
    }
    if (!S_ISREG(source->st_mode)) {
        return Outcome::failure(QStringLiteral("not a regular file"));
    }
    const auto target = entryStatus(to);
    if (target && !replaceExisting) {
        return Outcome::failureFromErrno(EEXIST);
    }
    if (auto refusal = refusalOfNewContents(target)) {
        return *refusal;
    }
    if (target && target->st_dev == source->st_dev && target->st_ino == source->st_ino) {
        return Outcome::failure(QStringLiteral("source and destination are the same file"));
    }
    const int in = ::open(nativePath(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return Outcome::failureFromErrno();
    }
    auto temp = posix::createTempBeside(to, source->st_mode & 0777);
    bool ok = temp && posix::copyContents(in, temp->fd) &&
              ::fchmod(temp->fd, source->st_mode & 0777) == 0 && posix::finish(*temp);
    if (ok) {
        ok = replaceExisting ? posix::renameReplacing(temp->path, to)
                             : posix::renameNoReplace(temp->path, to);
    }
    Outcome outcome = ok ? Outcome::success() : Outcome::failureFromErrno();
    ::close(in);
    if (!ok && temp) {
        posix::discard(*temp);
    }
    return outcome;
}

Outcome PosixFileSystem::linkFile(const QString& from, const QString& to) {
    if (::link(nativePath(resolve(from)).constData(), nativePath(resolve(to)).constData()) != 0) {
        return Outcome::failureFromErrno();
    }
    return Outcome::success();
}

Outcome PosixFileSystem::createFolder(const QString& path) {
    const QString resolved = resolve(path);
    if (entryStatus(resolved)) {
        return Outcome::failureFromErrno(EEXIST);
    }
    if (::mkdir(nativePath(resolved).constData(), 0777) != 0) {
        return Outcome::failureFromErrno();
    }
    return Outcome::success();
}

Outcome PosixFileSystem::removeEmptyFolder(const QString& path) {
    if (::rmdir(nativePath(resolve(path)).constData()) != 0) {
        return Outcome::failureFromErrno();
    }
    return Outcome::success();
}

std::unique_ptr<FileWriter> PosixFileSystem::createFile(const QString& path) {
    const QString resolved = resolve(path);
    const auto existing = entryStatus(resolved);
    if (refusalOfNewContents(existing)) {
        return nullptr;
    }
    // A link at the name is replaced, never written through: it could point anywhere, and the
    // updater runs as root. O_NOFOLLOW refuses a link that appears after the removal.
    if (existing && S_ISLNK(existing->st_mode) && ::unlink(nativePath(resolved).constData()) != 0) {
        return nullptr;
    }
    const int fd = ::open(nativePath(resolved).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          posix::creationMode(resolved));
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<posix::DescriptorWriter>(fd);
}

Outcome PosixFileSystem::replaceFileContents(const QString& path, const QByteArray& bytes) {
    const QString resolved = throughLink(resolve(path));
    posix::removeLeftoverTemps(resolved);
    const auto existing = entryStatus(resolved);
    if (auto refusal = refusalOfNewContents(existing)) {
        return *refusal;
    }
    const bool keepMode = existing && S_ISREG(existing->st_mode);
    return writeThroughTemp(resolved, bytes, posix::creationMode(resolved),
                            keepMode ? existing : std::nullopt);
}

void PosixFileSystem::removeLeftoverTemporaries(const QString& path) {
    posix::removeLeftoverTemps(resolve(path));
}

Outcome PosixFileSystem::appendToFile(const QString& path, const QByteArray& bytes) {
    const QString resolved = resolve(path);
    if (auto refusal = refusalOfNewContents(posix::targetStatus(resolved))) {
        return *refusal;
    }
    const int fd = ::open(nativePath(resolved).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, posix::creationMode(resolved));
    if (fd < 0) {
        return Outcome::failureFromErrno();
    }
    posix::DescriptorWriter writer(fd);
    const bool written = writer.write(bytes.constData(), bytes.size());
    Outcome outcome = written ? Outcome::success() : Outcome::failureFromErrno();
    if (!writer.close() && written) {
        outcome = Outcome::failureFromErrno();
    }
    return outcome;
}

}  // namespace pelorix::platform
