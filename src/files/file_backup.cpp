#include "files/file_backup.h"

#include "platform/file_system.h"

#include <utility>

namespace pelorix::files {

FileBackup::FileBackup(platform::FileSystem& files, QString dataBasePath, QString settingsFolder,
                       ShowStatusFunction showStatus, MessageFunction showMessage)
    : files_(files),
      dataBasePath_(std::move(dataBasePath)),
      settingsFolder_(std::move(settingsFolder)),
      showStatus_(std::move(showStatus)),
      showMessage_(std::move(showMessage)) {}

void FileBackup::CopyFiles(QString fileName) {
    const QString source = dataBasePath_ + "/" + fileName;
    if (!files_.normalFileExists(source)) {
        return;
    }
    showStatus_("Sichere " + fileName + " ...", 2);
    if (!files_.copyFile(source, settingsFolder_ + "/" + fileName, true)) {
        showMessage_("Die Datei " + fileName +
                     " konnte nicht kopiert werden. Bitte kopieren Sie die\r\nDatei " + fileName +
                     " manuell nach: " + settingsFolder_);
        showStatus_("Fehler", 3);
        return;
    }
    showStatus_("OK", 3);
}

}  // namespace pelorix::files
