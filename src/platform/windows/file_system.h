#pragma once

#include "platform/file_system.h"

namespace pelorix::platform {

// The file system of Windows through the wide Win32 API. The operations are
// virtual so that a test can derive from it and make a single operation fail.
class WindowsFileSystem : public FileSystem {
  public:
    QString resolve(const QString& path) const override;

    bool normalFileExists(const QString& path) const override;
    bool entryExists(const QString& path) const override;
    bool anyMatch(const QString& pattern) const override;
    bool isReadOnly(const QString& path) const override;
    std::vector<DirEntry> list(const QString& folder) const override;

    Outcome deleteFile(const QString& path) override;
    Outcome moveFile(const QString& from, const QString& to) override;
    Outcome copyFile(const QString& from, const QString& to, bool replaceExisting) override;
    Outcome linkFile(const QString& from, const QString& to) override;
    Outcome createFolder(const QString& path) override;
    Outcome removeEmptyFolder(const QString& path) override;

    Fallible<QByteArray> readFile(const QString& path) const override;
    std::unique_ptr<FileWriter> createFile(const QString& path) override;
    Outcome replaceFileContents(const QString& path, const QByteArray& bytes) override;
    Outcome appendToFile(const QString& path, const QByteArray& bytes) override;
    void removeLeftoverTemporaries(const QString& path) override;

  private:
    Outcome copyInto(const QString& from, const QString& to, bool replaceExisting);
};

}  // namespace pelorix::platform
