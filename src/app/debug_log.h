#pragma once

#include <QString>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::app {

// The debug log beside the program: one time-stamped line per entry, appended in the ANSI code
// page. A log that cannot be written is skipped silently.
class DebugLog {
  public:
    DebugLog(QString filePath, platform::FileSystem& files);

    // The header "-1" means none; any other header is written as a line of its own first.
    void WriteDebugLog(const QString& message, const QString& header);

    // The program's own log: its executable's name without extension + "_DebugLog.txt".
    static QString defaultPath();

  private:
    QString filePath_;
    platform::FileSystem& files_;
};

}  // namespace pelorix::app
