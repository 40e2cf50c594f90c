#include "app/run/debug_log.h"

#include "platform/file_system.h"
#include "platform/special_folders.h"
#include "platform/text_codec.h"

#include <QDateTime>
#include <QFileInfo>

namespace pelorix::app {

namespace {
const QString kTimestampFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");
}

DebugLog::DebugLog(QString filePath, platform::FileSystem& files)
    : filePath_(std::move(filePath)), files_(files) {}

void DebugLog::write(const QString& message) {
    writeEntry(QString(), message);
}

void DebugLog::writeAfterHeader(const QString& header, const QString& message) {
    writeEntry(header + "\r\n", message);
}

void DebugLog::writeEntry(QString entry, const QString& message) {
    // One fixed local format, as a German Windows writes its short date and long time, so that
    // support can read every log alike: no zone word, no order that follows the machine's locale.
    entry += QDateTime::currentDateTime().toString(kTimestampFormat) + "> " + message + "\r\n";
    // The log is a help for support staff; a folder without write access must not stop an update.
    static_cast<void>(files_.appendToFile(filePath_, platform::encodeAnsi(entry)));
}

QString DebugLog::defaultPath(const QString& folder) {
    const QString baseName = QFileInfo(platform::ownExecutableName()).completeBaseName();
    return folder + "/" + baseName + "_DebugLog.txt";
}

}  // namespace pelorix::app
