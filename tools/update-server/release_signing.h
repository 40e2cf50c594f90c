#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace pelorix::tools {

// A minisign key pair (Ed25519) for signing a release.
struct SigningKey {
    QByteArray keyId;      // 8 bytes
    QByteArray secretKey;  // 64 bytes: seed and public key, as libsodium keeps them
    QByteArray publicKey;  // 32 bytes
};

inline const QString kSecretKeyName = QStringLiteral("PelorixUpdater.key");
inline const QString kPublicKeyName = QStringLiteral("PelorixUpdater.pub");

// The key pair in `folder`: its secret key file (as `minisign -G -W` writes it, without a
// password) is taken when there; otherwise a new pair is created and both files written, in the
// formats of the minisign tool, so either can sign with the other's keys. nullopt and `error` on
// failure.
std::optional<SigningKey> takeOrCreateSigningKey(const QString& folder, QString& error);

// The times a signature vouches for, in Unix seconds.
struct SignatureTimes {
    qint64 timestamp = 0;           // of signing
    std::optional<qint64> expires;  // none: the list stays valid
};

// The trusted comment "timestamp:<timestamp>[\texpires:<expires>]\tfile:SHA256SUMS\thashed".
QByteArray trustedCommentFor(const SignatureTimes& times);

// Writes `folder`/SHA256SUMS for the named files of `folder`, as `sha256sum` does, and
// `folder`/SHA256SUMS.minisig, as `minisign -S` does (prehashed), with that trusted comment.
bool writeSignedManifest(const QString& folder, const QStringList& fileNames, const SigningKey& key,
                         const SignatureTimes& times, QString& error);

}  // namespace pelorix::tools
