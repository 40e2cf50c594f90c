#include "files/minisign_signature.h"

#include <QList>

#include <algorithm>

#include <sodium.h>

namespace pelorix::files {
namespace {

constexpr qsizetype kKeyIdBytes = 8;
const QByteArray kUntrustedPrefix = "untrusted comment: ";
const QByteArray kTrustedPrefix = "trusted comment: ";

// The lines of a file, without line ends (LF or CR LF); a final line end adds no line.
QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

std::optional<QByteArray> strictBase64(const QByteArray& text, qsizetype expectedSize) {
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != expectedSize) {
        return std::nullopt;
    }
    return decoded.decoded;
}

bool ed25519Verifies(const QByteArray& signature, const QByteArray& message,
                     const QByteArray& key) {
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(message.constData()),
               static_cast<unsigned long long>(message.size()),
               reinterpret_cast<const unsigned char*>(key.constData())) == 0;
}

QByteArray blake2b512(const QByteArray& message) {
    QByteArray hash(crypto_generichash_BYTES_MAX, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(hash.data()),
                       static_cast<size_t>(hash.size()),
                       reinterpret_cast<const unsigned char*>(message.constData()),
                       static_cast<unsigned long long>(message.size()), nullptr, 0);
    return hash;
}

}  // namespace

std::optional<MinisignPublicKey> MinisignPublicKey::parse(const QByteArray& fileText,
                                                          QString& error) {
    const QList<QByteArray> lines = linesOf(fileText);
    if (lines.size() != 2 || !lines[0].startsWith(kUntrustedPrefix)) {
        error = "not a minisign public key (two lines, the first an untrusted comment)";
        return std::nullopt;
    }
    const auto bytes =
        strictBase64(lines[1].trimmed(), 2 + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES);
    if (!bytes || !bytes->startsWith("Ed")) {
        error = "the key line is not an Ed25519 minisign key";
        return std::nullopt;
    }
    return MinisignPublicKey{bytes->mid(2, kKeyIdBytes), bytes->mid(2 + kKeyIdBytes)};
}

std::optional<MinisignSignature> MinisignSignature::parse(const QByteArray& fileText,
                                                          QString& error) {
    const QList<QByteArray> lines = linesOf(fileText);
    if (lines.size() != 4 || !lines[0].startsWith(kUntrustedPrefix) ||
        !lines[2].startsWith(kTrustedPrefix)) {
        error = "not a minisign signature (four lines with an untrusted and a trusted comment)";
        return std::nullopt;
    }
    const auto bytes = strictBase64(lines[1].trimmed(), 2 + kKeyIdBytes + crypto_sign_BYTES);
    const auto global = strictBase64(lines[3].trimmed(), crypto_sign_BYTES);
    const QByteArray algorithm = bytes ? bytes->left(2) : QByteArray();
    if (!global || (algorithm != "Ed" && algorithm != "ED")) {
        error = "the signature lines are not Ed25519 minisign signatures";
        return std::nullopt;
    }
    return MinisignSignature{algorithm == "ED", bytes->mid(2, kKeyIdBytes),
                             bytes->mid(2 + kKeyIdBytes), lines[2].mid(kTrustedPrefix.size()),
                             *global};
}

std::optional<QByteArray> verifyMinisign(const QByteArray& message, const QByteArray& signatureFile,
                                         const MinisignPublicKey& key, QString& error) {
    if (sodium_init() < 0) {
        error = "libsodium could not be initialised";
        return std::nullopt;
    }
    const auto signature = MinisignSignature::parse(signatureFile, error);
    if (!signature) {
        return std::nullopt;
    }
    if (signature->keyId != key.keyId) {
        error = QStringLiteral("signed by key %1, not by the trusted key %2")
                    .arg(QString::fromLatin1(signature->keyId.toHex().toUpper()),
                         QString::fromLatin1(key.keyId.toHex().toUpper()));
        return std::nullopt;
    }
    const QByteArray signedMessage = signature->prehashed ? blake2b512(message) : message;
    if (!ed25519Verifies(signature->signature, signedMessage, key.key)) {
        error = "the signature does not match the file";
        return std::nullopt;
    }
    if (!ed25519Verifies(signature->globalSignature,
                         signature->signature + signature->trustedComment, key.key)) {
        error = "the trusted comment is not signed by the trusted key";
        return std::nullopt;
    }
    return signature->trustedComment;
}

std::optional<QByteArray> trustedField(const QByteArray& trustedComment, const QByteArray& name) {
    const QByteArray prefix = name + ':';
    for (const QByteArray& field : trustedComment.split('\t')) {
        if (field.startsWith(prefix)) {
            return field.mid(prefix.size());
        }
    }
    return std::nullopt;
}

std::optional<qint64> unixSeconds(const QByteArray& digits) {
    bool isNumber = false;
    const qint64 seconds = digits.toLongLong(&isNumber);
    const bool onlyDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    return isNumber && onlyDigits ? std::optional<qint64>(seconds) : std::nullopt;
}

std::optional<qint64> trustedTimestamp(const QByteArray& trustedComment) {
    const auto digits = trustedField(trustedComment, kTimestampField);
    return digits ? unixSeconds(*digits) : std::nullopt;
}

}  // namespace pelorix::files
