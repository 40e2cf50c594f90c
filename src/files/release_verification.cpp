#include "files/release_verification.h"

#include <QDateTime>

namespace pelorix::files {

namespace {

bool isFresh(const ReleaseExpectations& expected, qint64 timestamp, QString& error) {
    if (expected.lastAccepted && timestamp < *expected.lastAccepted) {
        error = QStringLiteral(
                    "the list is older (timestamp %1) than the last one accepted here "
                    "(timestamp %2)")
                    .arg(timestamp)
                    .arg(*expected.lastAccepted);
        return false;
    }
    return true;
}

// Absent: the list does not expire. Present, it must be a number, and still in the future.
bool expiryOf(const QByteArray& trustedComment, qint64 now, std::optional<qint64>& expires,
              QString& error) {
    const auto field = trustedField(trustedComment, kExpiresField);
    if (!field) {
        return true;
    }
    expires = unixSeconds(*field);
    if (!expires) {
        error = "the expiry of the trusted comment is no number of seconds: " +
                QString::fromUtf8(trustedComment);
        return false;
    }
    if (now >= *expires) {
        error =
            QStringLiteral("the list expired at %1 (expires:%2); the publisher must sign it anew")
                .arg(QDateTime::fromSecsSinceEpoch(*expires, Qt::UTC).toString(Qt::ISODate))
                .arg(*expires);
        return false;
    }
    return true;
}

}  // namespace

std::optional<VerifiedManifest> verifyReleaseManifest(const QByteArray& manifestText,
                                                      const QByteArray& signatureFile,
                                                      const MinisignPublicKey& key,
                                                      const ReleaseExpectations& expected,
                                                      QString& error) {
    const auto trustedComment = verifyMinisign(manifestText, signatureFile, key, error);
    if (!trustedComment) {
        return std::nullopt;
    }
    const auto timestamp = trustedTimestamp(*trustedComment);
    if (!timestamp) {
        error = "the trusted comment carries no timestamp: " + QString::fromUtf8(*trustedComment);
        return std::nullopt;
    }
    std::optional<qint64> expires;
    if (!isFresh(expected, *timestamp, error) ||
        !expiryOf(*trustedComment, expected.now, expires, error)) {
        return std::nullopt;
    }
    auto manifest = ReleaseManifest::parse(manifestText, error);
    if (!manifest || !manifest->listsEachOnce(expected.fileNames, error)) {
        return std::nullopt;
    }
    return VerifiedManifest{std::move(*manifest), *timestamp, expires};
}

FileVerification verifyReleaseFile(const ReleaseManifest& manifest, const QString& fileName,
                                   const QByteArray& content) {
    FileVerification result{sha256Of(content), false, {}};
    const auto expected = manifest.digestOf(fileName);
    if (!expected) {
        result.failure = fileName + " is not listed in " + kManifestName;
    } else if (*expected != result.sha256) {
        result.failure = QStringLiteral("the SHA-256 of %1 is %2, %3 lists %4")
                             .arg(fileName, QString::fromLatin1(result.sha256.toHex()),
                                  kManifestName, QString::fromLatin1(expected->toHex()));
    } else {
        result.verified = true;
    }
    return result;
}

}  // namespace pelorix::files
