#pragma once

#include "i18n/form_captions.h"

#include <QString>
#include <QtGlobal>

namespace pelorix::app {

// The state of the main window that the procedure reads and writes; the Qt window only shows it.
struct FormModel {
    // Fields set at start-up.
    QString connectionString;
    bool isSqlServer = false;
    bool updateLog = false;
    QString dataBasePath;
    QString systemFolder;
    QString commandLine;

    // Fields of the update procedure.
    qint16 pendingStatusLength = 0;

    // What the controls show.
    i18n::FormCaptions captions;
    QString versionCaption;
    bool localLabelVisible = false;
    int updateDatabaseOnlyCheck = 0;  // 0 unchecked, 1 checked, 2 grayed
    QString statusText;
    int progressValue = 0;
    int progressMaximum = 100;
};

// Program-wide values set at start-up.
struct ProgramSettings {
    QString settingsFolder;
    QString settingsFile;
    QString appPath;
    QString languageSetting;
    QString learningLanguage;

    QString languageFile() const { return appPath + "/language.ini"; }
};

}  // namespace pelorix::app
