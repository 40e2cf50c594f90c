#include "app/program/startup.h"

#include "app/program/installation.h"
#include "app/run/version.h"
#include "i18n/language.h"
#include "platform/database/connection_string.h"
#include "platform/file_system.h"
#include "platform/profile.h"

namespace pelorix::app {

i18n::FormCaptions initialCaptions() {
    return {"Pelorix Updater",
            {
                {"StartUpdateBT", "CommandButton", "Update ausführen"},
                {"UpdateDatabaseOnlyCheck", "CheckBox", "nur Datenbank aktualisieren"},
                {"ShowHistory", "Label", "Historie ansehen"},
                {"ProgressBar1", "ProgressBar", ""},
                {"Label5", "Label", "Status"},
                {"LocalLBL", "Label", "Lokal"},
                {"VersionLBL", "Label", ""},
                {"StatusTB", "TextBox", ""},
                {"Inet1", "Inet", ""},
            }};
}

bool isSqlServerConnection(const QString& connectionString) {
    // A Jet or ACE file is never SQL Server, even in a folder whose name contains "sql"; the
    // provider is read as the database layer reads it, so that both agree on the dialect.
    if (platform::namesEmbeddedDatabase(connectionString)) {
        return false;
    }
    return connectionString.toLower().contains("sql");
}

bool settingAsBoolean(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare("True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    return isNumber && number != 0.0;
}

QString versionCaption(int major, int minor, int /*build*/, int revision) {
    return QString("v %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void loadConfiguration(ProgramSettings& settings, FormModel& form, const Installation& installation,
                       platform::FileSystem& files) {
    settings.settingsFolder = installation.settingsFolder;
    if (!files.entryExists(settings.settingsFolder)) {
        // A folder we cannot create: defaults apply.
        static_cast<void>(files.createFolder(settings.settingsFolder));
    }
    settings.settingsFile = installation.settingsFile;
    const auto setting = [&](const QString& section, const QString& key, const QString& fallback) {
        return platform::ReadIni(files, settings.settingsFile, section, key, fallback);
    };
    form.dataBasePath = setting("ServiceSettings", "DataBasePath", settings.settingsFolder);
    // An empty program folder would make every file of the installation a file of the root.
    settings.appPath = setting("ServiceSettings", "AppPath", "");
    if (settings.appPath.isEmpty()) {
        settings.appPath = installation.ownFolder;
    }
    form.systemFolder = installation.systemFolder;
    form.commandLine = installation.commandLine;
    form.localLabelVisible = !installation.commandLine.isEmpty();
    form.connectionString = setting("Settings", "Connectionstring", "");
    if (form.connectionString.isEmpty()) {
        form.connectionString =
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + form.dataBasePath + "/Pelorix.mdb" +
            ";User Id=admin;Password=;";
    }
    form.isSqlServer = isSqlServerConnection(form.connectionString);
    form.updateLog = settingAsBoolean(setting("Settings", "UpdateLog", "0"));
    settings.languageSetting = setting("Settings", "Language", "EN");
    settings.learningLanguage = setting("Settings", "LearningLanguage", "EN");
    form.captions = initialCaptions();
}

void finishStartup(FormModel& form, i18n::Language& language) {
    language.TranslateForm(form.captions);
    form.versionCaption =
        versionCaption(kVersionMajor, kVersionMinor, kVersionBuild, kVersionRevision);
}

}  // namespace pelorix::app
