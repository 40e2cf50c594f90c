#pragma once

#include "platform/file_system.h"

namespace pelorix::platform {

// The file system of Linux with the Windows semantics of FileSystem. The operations are
// virtual so that a test can derive from it and make a single operation fail.
class PosixFileSystem : public FileSystem {
  public:
    QString resolve(const QString& path) const override;

    bool normalFileExists(const QString& path) const override;
    bool entryExists(const QString& path) const override;
    bool anyMatch(const QString& pattern) const override;
    bool isReadOnly(const QString& path) const override;
    std::vector<DirEntry> list(const QString& folder) const override;

    bool deleteFile(const QString& path) override;
    bool moveFile(const QString& from, const QString& to) override;
    bool copyFile(const QString& from, const QString& to, bool replaceExisting) override;
    bool linkFile(const QString& from, const QString& to) override;
    bool createFolder(const QString& path) override;
    bool removeEmptyFolder(const QString& path) override;

    std::optional<QByteArray> readFile(const QString& path) const override;
    std::unique_ptr<FileWriter> createFile(const QString& path) override;
    bool replaceFileContents(const QString& path, const QByteArray& bytes) override;
    bool appendToFile(const QString& path, const QByteArray& bytes) override;

  private:
    bool moveAcrossFileSystems(const QString& from, const QString& to);
    bool copyInto(const QString& from, const QString& to, bool replaceExisting);
};

}  // namespace pelorix::platform
