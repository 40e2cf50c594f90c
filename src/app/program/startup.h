#pragma once

#include "app/run/form_model.h"

#include <QString>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::i18n {
class Language;
}

namespace pelorix::app {

struct Installation;

// The window's controls with their German captions, in tab order.
i18n::FormCaptions initialCaptions();

// Start-up before the translation: the settings folder made, the settings read from its file,
// the connection string and the flags derived from it. Shows nothing.
void loadConfiguration(ProgramSettings& settings, FormModel& form, const Installation& installation,
                       platform::FileSystem& files);

// Start-up after the settings: the captions translated, then the version shown untranslated.
void finishStartup(FormModel& form, i18n::Language& language);

bool isSqlServerConnection(const QString& connectionString);
// "UpdateLog": a number is true when not zero, True and False count as such, anything else false.
bool settingAsBoolean(const QString& text);
// "v " + major.minor.revision of a four-field version, without leading zeros.
QString versionCaption(int major, int minor, int build, int revision);

}  // namespace pelorix::app
