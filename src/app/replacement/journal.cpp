#include "app/replacement/journal.h"

#include "platform/durable_append.h"
#include "platform/file_system.h"

#include <QByteArrayList>
#include <QUrl>

#include <array>
#include <optional>

namespace pelorix::app {

namespace {

constexpr std::array<const char*, 8> kStepWords{"area",    "source",   "unregister", "aside",
                                                "install", "register", "commit",     "undone"};

std::optional<JournalStep> stepOf(const QByteArray& word) {
    for (std::size_t index = 0; index < kStepWords.size(); ++index) {
        if (word == kStepWords[index]) {
            return static_cast<JournalStep>(index);
        }
    }
    return std::nullopt;
}

// Paths are kept in UTF-8, percent-encoded so that no name can break a line or a field.
QByteArray field(const QString& text) {
    return QUrl::toPercentEncoding(text, "/");
}

QString text(const QByteArray& field) {
    return QUrl::fromPercentEncoding(field);
}

QByteArray lineOf(const JournalEntry& entry) {
    return QByteArray(kStepWords[static_cast<std::size_t>(entry.step)]) + ' ' + field(entry.path) +
           ' ' + field(entry.other);
}

}  // namespace

ReplacementJournal::ReplacementJournal(const QString& folder, platform::FileSystem& files)
    : path_(folder + "/PelorixUpdater.journal"), files_(files) {}

bool ReplacementJournal::exists() const {
    return files_.entryExists(path_);
}

platform::Outcome ReplacementJournal::record(const JournalEntry& entry) {
    return platform::appendDurably(path_, lineOf(entry) + '\n');
}

QString ReplacementJournal::keyOf(const JournalEntry& entry) {
    return QString::fromUtf8(lineOf(entry));
}

std::vector<JournalEntry> ReplacementJournal::read() const {
    std::vector<JournalEntry> entries;
    QByteArray bytes = files_.readFile(path_).value_or(QByteArray());
    bytes.truncate(bytes.lastIndexOf('\n') + 1);
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArrayList fields = line.split(' ');
        const std::optional<JournalStep> step = stepOf(fields.value(0));
        if (step && fields.size() == 3) {
            entries.push_back({*step, text(fields[1]), text(fields[2])});
        }
    }
    return entries;
}

bool ReplacementJournal::discard() {
    return static_cast<bool>(files_.deleteFile(path_));
}

}  // namespace pelorix::app
