#include "platform/profile.h"

#include "platform/file_system.h"
#include "platform/profile_document.h"

#include <atomic>

// The profile functions take C strings: every text ends at its first NUL character. The value
// read is cut to what a buffer of 1024 characters holds, its last one being the NUL.
namespace pelorix::platform {
namespace {

constexpr qsizetype kMaxValueLength = 1023;

std::atomic<quint64> writeCount{0};

QString asCString(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// The profile functions drop trailing blanks of the default.
QString defaultWithoutTrailingBlanks(QString text) {
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text;
}

bool breaksLines(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

}  // namespace

QString ReadIni(const FileSystem& files, const QString& file, const QString& section,
                const QString& key, const QString& defaultValue) {
    const auto bytes = files.readFile(file);
    const std::optional<ProfileDocument> document =
        bytes ? std::optional<ProfileDocument>(*bytes) : std::nullopt;
    return ReadIni(document ? &*document : nullptr, section, key, defaultValue);
}

QString ReadIni(const ProfileDocument* document, const QString& section, const QString& key,
                const QString& defaultValue) {
    const std::optional<QString> found =
        document ? document->value(asCString(section), asCString(key)) : std::nullopt;
    const QString result =
        found ? asCString(*found) : defaultWithoutTrailingBlanks(asCString(defaultValue));
    return result.left(kMaxValueLength);
}

void WriteIni(FileSystem& files, const QString& file, const QString& section, const QString& key,
              const QString& value) {
    const QString sectionName = asCString(section);
    const QString keyName = asCString(key);
    const QString text = asCString(value);
    // A line break would end the line early and turn the rest into lines of their own.
    if (breaksLines(sectionName) || breaksLines(keyName) || breaksLines(text)) {
        return;
    }
    const auto bytes = files.readFile(file);
    if (!bytes && files.anyMatch(file)) {
        return;  // something that cannot be read as a file (a folder, a device) stays untouched
    }
    ProfileDocument document(bytes.value_or(QByteArray()));
    document.setValue(sectionName, keyName, text);
    // WritePrivateProfileString reports nothing that its callers look at.
    static_cast<void>(files.replaceFileContents(file, document.bytes()));
    ++writeCount;
}

quint64 profileWriteCount() {
    return writeCount;
}

}  // namespace pelorix::platform
