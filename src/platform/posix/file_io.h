#pragma once

#include "platform/file_system.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>

// Small POSIX building blocks of the file layer: status lookups, complete reads and writes,
// temporary files and renames that never replace.
namespace pelorix::platform::posix {

QByteArray nativePath(const QString& path);

// The entry itself (a symbolic link is not followed).
std::optional<struct stat> entryStatus(const QString& path);
// What the entry points to (a symbolic link is followed).
std::optional<struct stat> targetStatus(const QString& path);

// A regular file without any write permission bit; root is refused as well.
bool isReadOnlyFile(const struct stat& status);

// Writes everything, retrying short and interrupted writes.
bool writeAll(int fd, const char* data, qint64 size);
bool copyContents(int fromFd, int toFd);
std::optional<QByteArray> readAll(int fd);

// A writer on an open descriptor; each write reaches the file at once.
class DescriptorWriter : public FileWriter {
  public:
    explicit DescriptorWriter(int fd) : fd_(fd) {}
    ~DescriptorWriter() override;
    bool write(const char* data, qint64 size) override;
    bool close() override;

  private:
    int fd_;
    bool failed_ = false;
};

// An empty, uniquely named file in the folder of finalPath, to be renamed onto it.
struct TempFile {
    QString path;
    int fd = -1;
};
std::optional<TempFile> createTempBeside(const QString& finalPath, mode_t mode);
// Removes the temporary files for finalPath that earlier writes, interrupted before their
// rename, left in its folder.
void removeLeftoverTemps(const QString& finalPath);
// Closes and removes a temporary file that is not going to be used.
void discard(const TempFile& temp);
// Durably writes and closes a temporary file; false when anything failed.
bool finish(TempFile& temp);

// A rename that fails when the destination exists; errno tells why.
bool renameNoReplace(const QString& from, const QString& to);
bool renameReplacing(const QString& from, const QString& to);

// The mode a new file of this name gets before the umask: programs are executable.
mode_t creationMode(const QString& path);

}  // namespace pelorix::platform::posix
