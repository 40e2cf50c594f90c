#pragma once

#include "files/minisign_signature.h"
#include "files/release_manifest.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace pelorix::files {

// The names under which a release publishes its checksum list and the list's signature.
inline const QString kManifestName = QStringLiteral("SHA256SUMS");
inline const QString kManifestSignatureName = QStringLiteral("SHA256SUMS.minisig");

// A checksum list whose signature verified.
struct VerifiedManifest {
    ReleaseManifest manifest;
    qint64 timestamp = 0;           // of its trusted comment, in Unix seconds
    std::optional<qint64> expires;  // of its trusted comment; none: the list does not expire
};

// What a signed checksum list is held against besides the key.
struct ReleaseExpectations {
    std::optional<qint64> lastAccepted;  // timestamp of the last list accepted on this machine
    qint64 now = 0;                      // Unix seconds
    QStringList fileNames;               // the files of a release: each listed exactly once
};

// Checks that `signatureFile` signs `manifestText` with `key`, that the signed trusted comment
// carries a timestamp not older than the last accepted one (the same one again is a re-run) and
// no expiry that has passed, and that the whole list is well-formed and lists every expected
// file once under its exact name. Nothing but the arguments is looked at; nullopt and `error`
// on failure.
std::optional<VerifiedManifest> verifyReleaseManifest(const QByteArray& manifestText,
                                                      const QByteArray& signatureFile,
                                                      const MinisignPublicKey& key,
                                                      const ReleaseExpectations& expected,
                                                      QString& error);

// One release file held against the checksum list.
struct FileVerification {
    QByteArray sha256;  // of the content, 32 bytes
    bool verified = false;
    QString failure;  // why it is not verified
};

FileVerification verifyReleaseFile(const ReleaseManifest& manifest, const QString& fileName,
                                   const QByteArray& content);

}  // namespace pelorix::files
