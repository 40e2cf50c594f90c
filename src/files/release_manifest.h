#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace pelorix::files {

// The checksum list of a release in the format `sha256sum` writes: per line 64 hex digits, two
// blanks or " *", the file name.
class ReleaseManifest {
  public:
    // Blank lines are skipped, and so are the names of lines in sha256sum's escaped form (a
    // leading "\"); any line that is not a checksum line, or a name listed twice, makes the
    // whole list invalid: nullopt and `error`.
    static std::optional<ReleaseManifest> parse(const QByteArray& text, QString& error);

    // True when every one of `fileNames` is listed under its exact spelling and no listed name
    // differs from one of them in case only (a list meant for them, spelled wrongly); other
    // names are allowed. False and `error` otherwise.
    bool listsEachOnce(const QStringList& fileNames, QString& error) const;

    // The 32-byte SHA-256 of the file of this exact name, nullopt when it is not listed.
    std::optional<QByteArray> digestOf(const QString& fileName) const;

  private:
    QMap<QString, QByteArray> digests_;
};

// The SHA-256 of some bytes (32 bytes).
QByteArray sha256Of(const QByteArray& bytes);

}  // namespace pelorix::files
