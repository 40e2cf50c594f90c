#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::files {

// Backs up one file of the database folder into the settings folder. Its texts are German and
// shown as they are, without translation.
class FileBackup {
  public:
    // ShowStatus(text, mode) of the status box; an OK-only message box.
    using ShowStatusFunction = std::function<void(const QString& text, qint16 mode)>;
    using MessageFunction = std::function<void(const QString& text)>;

    FileBackup(platform::FileSystem& files, QString dataBasePath, QString settingsFolder,
               ShowStatusFunction showStatus, MessageFunction showMessage);

    // A missing source is silent; a failed copy asks the user to copy the file by hand.
    void CopyFiles(QString fileName);

  private:
    platform::FileSystem& files_;
    QString dataBasePath_;
    QString settingsFolder_;
    ShowStatusFunction showStatus_;
    MessageFunction showMessage_;
};

}  // namespace pelorix::files
