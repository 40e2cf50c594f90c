#pragma once

#include <QString>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::app {

// The debug log (beside the program, or in the packaged build's log folder): one time-stamped line
// per entry, appended in the ANSI code page. A log that cannot be written is skipped silently.
class DebugLog {
  public:
    DebugLog(QString filePath, platform::FileSystem& files);

    // One entry. (The original WriteDebugLog(message, "-1"): "-1" meant no header.)
    void write(const QString& message);
    // The header as a line of its own (it may be empty or a bare line break), then the entry.
    // (The original WriteDebugLog(message, header) with any other header.)
    void writeAfterHeader(const QString& header, const QString& message);

    // The program's own log in folder: its executable's name without extension + "_DebugLog.txt".
    static QString defaultPath(const QString& folder);

  private:
    void writeEntry(QString entry, const QString& message);

    QString filePath_;
    platform::FileSystem& files_;
};

}  // namespace pelorix::app
