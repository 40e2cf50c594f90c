#include "files/partial_downloads.h"

#include "platform/file_system.h"

#include <QStringList>

#include <utility>

namespace pelorix::files {

namespace {
// target path, tab, hex SHA-256 or nothing, tab, validator
constexpr int kFields = 3;
}  // namespace

PartialDownloads::PartialDownloads(platform::FileSystem& files, QString path)
    : files_(files), path_(std::move(path)) {}

std::optional<PartialDownload> PartialDownloads::find(const QString& target) {
    const std::lock_guard lock(mutex_);
    load();
    const auto entry = entries_.constFind(target);
    return entry == entries_.constEnd() ? std::nullopt : std::optional(*entry);
}

void PartialDownloads::remember(const QString& target, const PartialDownload& partial) {
    const std::lock_guard lock(mutex_);
    load();
    PartialDownload kept = partial;
    // A validator that would break its line is no validator to go by.
    if (kept.validator.contains('\t') || kept.validator.contains('\n') ||
        kept.validator.contains('\r')) {
        kept.validator.clear();
    }
    entries_.insert(target, kept);
    save();
}

void PartialDownloads::forget(const QString& target) {
    const std::lock_guard lock(mutex_);
    load();
    if (entries_.remove(target) > 0) {
        save();
    }
}

// A line that is not three fields is dropped: its download then starts over.
void PartialDownloads::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const platform::Fallible<QByteArray> text = files_.readFile(path_);
    if (!text) {
        return;
    }
    for (const QString& line : QString::fromUtf8(*text).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        if (fields.size() == kFields && !fields[0].isEmpty()) {
            entries_.insert(fields[0], {QByteArray::fromHex(fields[1].toLatin1()), fields[2]});
        }
    }
}

// A note that cannot be written costs only the continuation: the download then starts over.
void PartialDownloads::save() {
    if (entries_.isEmpty()) {
        if (files_.normalFileExists(path_)) {
            static_cast<void>(files_.deleteFile(path_));
        }
        return;
    }
    QByteArray text;
    for (auto entry = entries_.cbegin(); entry != entries_.cend(); ++entry) {
        text += (entry.key() + '\t' + QString::fromLatin1(entry->listedSha256.toHex()) + '\t' +
                 entry->validator + '\n')
                    .toUtf8();
    }
    static_cast<void>(files_.replaceFileContents(path_, text));
}

}  // namespace pelorix::files
