#include "release_signing.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <sodium.h>

namespace pelorix::tools {
namespace {

// The secret-key file of minisign: algorithms "Ed", no key derivation, "B2"; an unused salt
// and limits; key id, secret key and a checksum that is left zero when there is no password.
constexpr qsizetype kSecretKeyFileBytes = 2 + 2 + 2 + 32 + 8 + 8 + 8 + 64 + 32;
constexpr qsizetype kKeyIdOffset = 2 + 2 + 2 + 32 + 8 + 8;

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

QByteArray sign(const QByteArray& message, const SigningKey& key) {
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         bytes(message), static_cast<unsigned long long>(message.size()),
                         bytes(key.secretKey));
    return signature;
}

QByteArray sha256(const QByteArray& message) {
    QByteArray hash(crypto_hash_sha256_BYTES, '\0');
    crypto_hash_sha256(reinterpret_cast<unsigned char*>(hash.data()), bytes(message),
                       static_cast<unsigned long long>(message.size()));
    return hash;
}

QByteArray blake2b512(const QByteArray& message) {
    QByteArray hash(crypto_generichash_BYTES_MAX, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(hash.data()),
                       static_cast<size_t>(hash.size()), bytes(message),
                       static_cast<unsigned long long>(message.size()), nullptr, 0);
    return hash;
}

// minisign shows a key id as a little-endian number.
QByteArray keyIdText(const QByteArray& keyId) {
    QByteArray reversed = keyId;
    std::reverse(reversed.begin(), reversed.end());
    return reversed.toHex().toUpper();
}

bool writeFile(const QString& path, const QByteArray& content, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush()) {
        error = "cannot write " + path + ": " + file.errorString();
        return false;
    }
    return true;
}

std::optional<SigningKey> readSecretKey(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QByteArray decoded = QByteArray::fromBase64(lines.value(1).trimmed());
    if (decoded.size() != kSecretKeyFileBytes || !decoded.startsWith("Ed")) {
        error = path + " is not a minisign secret key";
        return std::nullopt;
    }
    if (decoded.mid(2, 2) != QByteArray(2, '\0')) {
        error = path + " has a password; make one without (minisign -G -W)";
        return std::nullopt;
    }
    const QByteArray secret = decoded.mid(kKeyIdOffset + 8, crypto_sign_SECRETKEYBYTES);
    return SigningKey{decoded.mid(kKeyIdOffset, 8), secret,
                      secret.right(crypto_sign_PUBLICKEYBYTES)};
}

std::optional<SigningKey> createKey(const QString& folder, QString& error) {
    SigningKey key{QByteArray(8, '\0'), QByteArray(crypto_sign_SECRETKEYBYTES, '\0'),
                   QByteArray(crypto_sign_PUBLICKEYBYTES, '\0')};
    randombytes_buf(key.keyId.data(), static_cast<size_t>(key.keyId.size()));
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(key.publicKey.data()),
                        reinterpret_cast<unsigned char*>(key.secretKey.data()));
    const QByteArray secretFile = QByteArray("Ed") + QByteArray(2, '\0') + "B2" +
                                  QByteArray(48, '\0') + key.keyId + key.secretKey +
                                  QByteArray(32, '\0');
    const QByteArray publicFile = QByteArray("Ed") + key.keyId + key.publicKey;
    if (!QDir().mkpath(folder) ||
        !writeFile(
            folder + "/" + kSecretKeyName,
            "untrusted comment: minisign encrypted secret key\n" + secretFile.toBase64() + "\n",
            error) ||
        !writeFile(folder + "/" + kPublicKeyName,
                   "untrusted comment: minisign public key " + keyIdText(key.keyId) + "\n" +
                       publicFile.toBase64() + "\n",
                   error)) {
        return std::nullopt;
    }
    return key;
}

}  // namespace

std::optional<SigningKey> takeOrCreateSigningKey(const QString& folder, QString& error) {
    if (sodium_init() < 0) {
        error = "libsodium could not be initialised";
        return std::nullopt;
    }
    const QString secretPath = folder + "/" + kSecretKeyName;
    return QFile::exists(secretPath) ? readSecretKey(secretPath, error) : createKey(folder, error);
}

QByteArray trustedCommentFor(const SignatureTimes& times) {
    QByteArray comment = "timestamp:" + QByteArray::number(times.timestamp);
    if (times.expires) {
        comment += "\texpires:" + QByteArray::number(*times.expires);
    }
    return comment + "\tfile:SHA256SUMS\thashed";
}

bool writeSignedManifest(const QString& folder, const QStringList& fileNames, const SigningKey& key,
                         const SignatureTimes& times, QString& error) {
    QByteArray manifest;
    for (const QString& name : fileNames) {
        QFile file(folder + "/" + name);
        if (!file.open(QIODevice::ReadOnly)) {
            error = "cannot read " + file.fileName();
            return false;
        }
        manifest += sha256(file.readAll()).toHex() + "  " + name.toUtf8() + "\n";
    }
    const QByteArray trustedComment = trustedCommentFor(times);
    const QByteArray signature = sign(blake2b512(manifest), key);
    const QByteArray signatureFile = "untrusted comment: signature from minisign secret key\n" +
                                     (QByteArray("ED") + key.keyId + signature).toBase64() +
                                     "\ntrusted comment: " + trustedComment + "\n" +
                                     sign(signature + trustedComment, key).toBase64() + "\n";
    return writeFile(folder + "/SHA256SUMS", manifest, error) &&
           writeFile(folder + "/SHA256SUMS.minisig", signatureFile, error);
}

}  // namespace pelorix::tools
