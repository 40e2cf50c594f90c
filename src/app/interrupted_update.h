#pragma once

#include "app/replacement_undo.h"

#include <QString>

namespace pelorix::app {

// Where an update killed inside its replacement may have left its journal: the program folder,
// or the settings folder of an older version.
struct JournalFolders {
    QString programFolder;
    QString settingsFolder;
};

bool hasInterruptedUpdate(const JournalFolders& folders, platform::FileSystem& files);

// Settles, for a run that holds the installation's lock, what killed updates left: the journal
// in the program folder, then an older version's journal in the settings folder, unless a run
// of that version holds its lock there. A failure of either is the result.
Recovery settleInterruptedUpdates(const JournalFolders& folders, const JournalTools& tools);

}  // namespace pelorix::app
