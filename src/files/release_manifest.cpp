#include "files/release_manifest.h"

#include <QList>

#include <algorithm>

#include <sodium.h>

namespace pelorix::files {
namespace {

constexpr qsizetype kHexDigits = 64;

bool isHexDigits(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

}  // namespace

std::optional<ReleaseManifest> ReleaseManifest::parse(const QByteArray& text, QString& error) {
    ReleaseManifest manifest;
    int lineNumber = 0;
    for (QByteArray line : text.split('\n')) {
        ++lineNumber;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith('\\')) {
            continue;
        }
        const QByteArray separator = line.mid(kHexDigits, 2);
        const QByteArray digits = line.left(kHexDigits);
        const QString name = QString::fromUtf8(line.mid(kHexDigits + 2));
        if (digits.size() != kHexDigits || !isHexDigits(digits) ||
            (separator != "  " && separator != " *") || name.isEmpty()) {
            error = QStringLiteral("line %1 is not a checksum line").arg(lineNumber);
            return std::nullopt;
        }
        const QByteArray digest = QByteArray::fromHex(digits);
        if (manifest.digests_.contains(name) && manifest.digests_.value(name) != digest) {
            error = QStringLiteral("%1 is listed twice with different checksums").arg(name);
            return std::nullopt;
        }
        manifest.digests_.insert(name, digest);
    }
    return manifest;
}

std::optional<QByteArray> ReleaseManifest::digestOf(const QString& fileName) const {
    const auto found = digests_.constFind(fileName);
    return found == digests_.cend() ? std::nullopt : std::optional<QByteArray>(*found);
}

QByteArray sha256Of(const QByteArray& bytes) {
    QByteArray digest(crypto_hash_sha256_BYTES, '\0');
    crypto_hash_sha256(reinterpret_cast<unsigned char*>(digest.data()),
                       reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<unsigned long long>(bytes.size()));
    return digest;
}

}  // namespace pelorix::files
