#pragma once

#include "platform/outcome.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace pelorix::platform {

// One entry of a folder listing.
struct DirEntry {
    QString name;
    bool isFolder = false;
    bool isHidden = false;  // name begins with "."
    bool isSystem = false;  // neither a regular file nor a folder (device, socket, FIFO)
};

// A file being written; the bytes reach the disk as they are written.
class FileWriter {
  public:
    virtual ~FileWriter() = default;
    virtual bool write(const char* data, qint64 size) = 0;
    // Flushes and closes; false when any write or the close failed.
    virtual bool close() = 0;
};

// The file operations of the program with Windows semantics: names resolve without regard to
// case (an exact match wins), read-only files are neither deleted nor overwritten, a rename onto
// an existing name fails, and ".exe" files are created executable. Every call reports failure by
// its result, with the reason, and never throws.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The path as it exists on disk: each component that does not exist with its exact name is
    // replaced by an entry of its folder whose name matches without regard to case. Components
    // that match nothing are kept as given.
    virtual QString resolve(const QString& path) const = 0;

    // A "normal file" lookup: a regular file that is not hidden.
    virtual bool normalFileExists(const QString& path) const = 0;
    // A lookup with the directory attribute: a folder, or a normal file.
    virtual bool entryExists(const QString& path) const = 0;
    // Find-first-file: the last component may hold the wildcards * and ?; folders, hidden and
    // system files count.
    virtual bool anyMatch(const QString& pattern) const = 0;
    virtual bool isReadOnly(const QString& path) const = 0;

    // The entries of a folder, without "." and "..", sorted by name.
    virtual std::vector<DirEntry> list(const QString& folder) const = 0;

    virtual Outcome deleteFile(const QString& path) = 0;
    // A rename; across file systems a copy followed by the removal of the source.
    virtual Outcome moveFile(const QString& from, const QString& to) = 0;
    virtual Outcome copyFile(const QString& from, const QString& to, bool replaceExisting) = 0;
    // A second name for the same file (a hard link) in the same file system; fails where the
    // file system has none or the new name exists.
    virtual Outcome linkFile(const QString& from, const QString& to) = 0;
    virtual Outcome createFolder(const QString& path) = 0;
    virtual Outcome removeEmptyFolder(const QString& path) = 0;

    virtual Fallible<QByteArray> readFile(const QString& path) const = 0;
    // Creates or truncates the file (refused for a read-only one).
    virtual std::unique_ptr<FileWriter> createFile(const QString& path) = 0;
    // Writes the whole file through a temporary file in the same folder renamed over it, so a
    // failed write leaves the old file as it was.
    virtual Outcome replaceFileContents(const QString& path, const QByteArray& bytes) = 0;
    virtual Outcome appendToFile(const QString& path, const QByteArray& bytes) = 0;
    // Removes the hidden temporaries (".~" + the name + "." + a tag + ".tmp") that a copy to
    // `path` or a write of it, cut short by a kill, left in its folder.
    virtual void removeLeftoverTemporaries(const QString& path) = 0;
};

// The file system of this platform.
FileSystem& defaultFileSystem();

}  // namespace pelorix::platform
