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
        if (line.trimmed().isEmpty()) {
            continue;
        }
        // An escaped name is never one of the release's, but its line must be sound all the same.
        const bool escaped = line.startsWith('\\');
        if (escaped) {
            line.remove(0, 1);
        }
        const QByteArray separator = line.mid(kHexDigits, 2);
        const QByteArray digits = line.left(kHexDigits);
        const QString name = QString::fromUtf8(line.mid(kHexDigits + 2));
        if (digits.size() != kHexDigits || !isHexDigits(digits) ||
            (separator != "  " && separator != " *") || name.isEmpty()) {
            error = QStringLiteral("line %1 is not a checksum line").arg(lineNumber);
            return std::nullopt;
        }
        if (escaped) {
            continue;
        }
        if (manifest.digests_.contains(name)) {
            error = QStringLiteral("%1 is listed twice").arg(name);
            return std::nullopt;
        }
        manifest.digests_.insert(name, QByteArray::fromHex(digits));
    }
    return manifest;
}

bool ReleaseManifest::listsEachOnce(const QStringList& fileNames, QString& error) const {
    for (const QString& listed : digests_.keys()) {
        const auto spelled =
            std::find_if(fileNames.begin(), fileNames.end(), [&](const QString& n) {
                return n.compare(listed, Qt::CaseInsensitive) == 0 && n != listed;
            });
        if (spelled != fileNames.end()) {
            error = listed + " is listed under another case than " + *spelled;
            return false;
        }
    }
    for (const QString& name : fileNames) {
        if (!digests_.contains(name)) {
            error = name + " is not listed";
            return false;
        }
    }
    return true;
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
