#pragma once

#include <QString>

#include <functional>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::files {

// Backs up one file of the database folder into the settings folder. Its texts are German and
// shown as they are, without translation.
class FileBackup {
  public:
    using TextFunction = std::function<void(const QString& text)>;
    // The step line of the status box: opened with its text, closed with a result word.
    struct StepLine {
        TextFunction open;
        TextFunction close;
    };

    // The step line and an OK-only message box.
    FileBackup(platform::FileSystem& files, QString dataBasePath, QString settingsFolder,
               StepLine stepLine, TextFunction showMessage);

    // A missing source is silent; a failed copy asks the user to copy the file by hand.
    void CopyFiles(QString fileName);

  private:
    platform::FileSystem& files_;
    QString dataBasePath_;
    QString settingsFolder_;
    StepLine stepLine_;
    TextFunction showMessage_;
};

}  // namespace pelorix::files
