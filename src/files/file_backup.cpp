#include "files/file_backup.h"

#include "platform/file_system.h"

#include <utility>

namespace pelorix::files {

FileBackup::FileBackup(platform::FileSystem& files, QString dataBasePath, QString settingsFolder,
                       StepLine stepLine, TextFunction showMessage)
    : files_(files),
      dataBasePath_(std::move(dataBasePath)),
      settingsFolder_(std::move(settingsFolder)),
      stepLine_(std::move(stepLine)),
      showMessage_(std::move(showMessage)) {}

void FileBackup::CopyFiles(QString fileName) {
    const QString source = dataBasePath_ + "/" + fileName;
    if (!files_.normalFileExists(source)) {
        return;
    }
    stepLine_.open("Sichere " + fileName + " ...");
    if (!files_.copyFile(source, settingsFolder_ + "/" + fileName, true)) {
        showMessage_("Die Datei " + fileName +
                     " konnte nicht kopiert werden. Bitte kopieren Sie die\r\nDatei " + fileName +
                     " manuell nach: " + settingsFolder_);
        stepLine_.close("Fehler");
        return;
    }
    stepLine_.close("OK");
}

}  // namespace pelorix::files
