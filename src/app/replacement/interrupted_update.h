#pragma once

#include "app/replacement/undo.h"

#include <QString>

namespace pelorix::app {

// Where an update that was killed may have left something: its journal (in the program folder,
// or in the settings folder for an older version) and the temporaries of copies cut short (in the
// program folder and the system folder).
struct InstallationFolders {
    QString programFolder;
    QString systemFolder;
    QString settingsFolder;
};

bool hasInterruptedUpdate(const InstallationFolders& folders, platform::FileSystem& files);

// Settles, for a run that holds the installation's lock, what killed updates left: the journal
// in the program folder, then an older version's journal in the settings folder, unless a run
// of that version holds its lock there (a failure of either is the result); then removes the
// hidden temporaries of copies cut short beside each release file's temporary and final place.
Recovery settleInterruptedUpdates(const InstallationFolders& folders, const JournalTools& tools);

}  // namespace pelorix::app
