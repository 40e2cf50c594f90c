#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pelorix::files {

// A public key as the minisign tool writes it: an untrusted comment line, then the key in
// base64 ("Ed", the 8-byte key id, the 32-byte Ed25519 key).
struct MinisignPublicKey {
    QByteArray keyId;
    QByteArray key;

    // The key of a public-key file; nullopt and `error` when the text is no such key.
    static std::optional<MinisignPublicKey> parse(const QByteArray& fileText, QString& error);
};

// A detached signature as the minisign tool writes it.
struct MinisignSignature {
    bool prehashed = false;  // "ED": the BLAKE2b-512 hash of the file was signed, not the file
    QByteArray keyId;
    QByteArray signature;
    QByteArray trustedComment;
    QByteArray globalSignature;  // over signature and trusted comment

    static std::optional<MinisignSignature> parse(const QByteArray& fileText, QString& error);
};

// The trusted comment when `signatureFile` is a signature of `message` by `key` and its trusted
// comment is signed by the same key; nullopt and `error` otherwise.
std::optional<QByteArray> verifyMinisign(const QByteArray& message, const QByteArray& signatureFile,
                                         const MinisignPublicKey& key, QString& error);

// The fields of a trusted comment that the updater reads.
inline const QByteArray kTimestampField = "timestamp";  // the time of signing
inline const QByteArray kExpiresField = "expires";      // the time the list stops being valid

// The value of the first field "<name>:<value>" of a trusted comment (fields are separated by
// tabs), nullopt when there is none.
std::optional<QByteArray> trustedField(const QByteArray& trustedComment, const QByteArray& name);

// Unix seconds written as decimal digits only; nullopt for anything else.
std::optional<qint64> unixSeconds(const QByteArray& digits);

// The value of the field "timestamp:<unix seconds>", nullopt when there is none or it is no
// number of seconds.
std::optional<qint64> trustedTimestamp(const QByteArray& trustedComment);

}  // namespace pelorix::files
