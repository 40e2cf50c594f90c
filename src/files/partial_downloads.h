#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <mutex>
#include <optional>

namespace pelorix::platform {
class FileSystem;
}  // namespace pelorix::platform

namespace pelorix::files {

// What is known of a file cut off during its download, which stays at its target path: the
// checksum list's SHA-256 of the whole file, and the server's validator for it.
struct PartialDownload {
    QByteArray listedSha256;  // 32 bytes; empty without a verified list
    QString validator;        // ETag or Last-Modified; empty when the server sent neither
};

// The downloads cut off and kept for a later run to continue, by target path, in one small
// file (UTF-8, a line each) that is rewritten as a whole and goes when nothing is left in it.
// Safe for downloads side by side.
class PartialDownloads {
  public:
    PartialDownloads(platform::FileSystem& files, QString path);

    std::optional<PartialDownload> find(const QString& target);
    // Noted before the first byte of a body arrives, so that a kill leaves it noted.
    void remember(const QString& target, const PartialDownload& partial);
    void forget(const QString& target);

  private:
    void load();
    void save();

    platform::FileSystem& files_;
    QString path_;
    bool loaded_ = false;
    QMap<QString, PartialDownload> entries_;
    std::mutex mutex_;
};

}  // namespace pelorix::files
