#include "app/debug_log.h"

#include "platform/file_system.h"
#include "platform/special_folders.h"
#include "platform/text_codec.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace pelorix::app {

DebugLog::DebugLog(QString filePath, platform::FileSystem& files)
    : filePath_(std::move(filePath)), files_(files) {}

void DebugLog::write(const QString& message) {
    writeEntry(QString(), message);
}

void DebugLog::writeAfterHeader(const QString& header, const QString& message) {
    writeEntry(header + "\r\n", message);
}

void DebugLog::writeEntry(QString entry, const QString& message) {
    // Short date, a blank, long time: the user's general date format.
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    entry += locale.toString(now.date(), QLocale::ShortFormat) + " " +
             locale.toString(now.time(), QLocale::LongFormat) + "> " + message + "\r\n";
    // The log is a help for support staff; a folder without write access must not stop an update.
    files_.appendToFile(filePath_, platform::encodeAnsi(entry));
}

QString DebugLog::defaultPath() {
    const QString baseName = QFileInfo(platform::ownExecutableName()).completeBaseName();
    return platform::ownFolder() + "/" + baseName + "_DebugLog.txt";
}

}  // namespace pelorix::app
