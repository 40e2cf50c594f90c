#include "files/release_verification.h"

namespace pelorix::files {

std::optional<VerifiedManifest> verifyReleaseManifest(const QByteArray& manifestText,
                                                      const QByteArray& signatureFile,
                                                      const MinisignPublicKey& key,
                                                      std::optional<qint64> lastAccepted,
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
    if (lastAccepted && *timestamp < *lastAccepted) {
        error = QStringLiteral(
                    "the list is older (timestamp %1) than the last one accepted here "
                    "(timestamp %2)")
                    .arg(*timestamp)
                    .arg(*lastAccepted);
        return std::nullopt;
    }
    auto manifest = ReleaseManifest::parse(manifestText, error);
    if (!manifest) {
        return std::nullopt;
    }
    return VerifiedManifest{std::move(*manifest), *timestamp};
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
