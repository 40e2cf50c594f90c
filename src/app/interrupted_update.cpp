#include "app/interrupted_update.h"

#include "app/installation_lock.h"
#include "platform/file_system.h"

namespace pelorix::app {

namespace {

// Both journals settled at once are told as one: a failure first, then a restored release.
Recovery together(Recovery first, Recovery second) {
    for (const Recovery outcome : {Recovery::Failed, Recovery::Restored, Recovery::Completed}) {
        if (first == outcome || second == outcome) {
            return outcome;
        }
    }
    return Recovery::NothingToDo;
}

Recovery settleOlderVersionsJournal(const QString& settingsFolder, const JournalTools& tools) {
    ReplacementJournal journal(settingsFolder, tools.files);
    if (!journal.exists()) {
        return Recovery::NothingToDo;
    }
    InstallationLock lock = InstallationLock::ofOlderVersion(settingsFolder);
    if (lock.take() != platform::LockAttempt::Taken) {
        return Recovery::NothingToDo;
    }
    return settleJournal(journal, tools);
}

}  // namespace

bool hasInterruptedUpdate(const JournalFolders& folders, platform::FileSystem& files) {
    return ReplacementJournal(folders.programFolder, files).exists() ||
           ReplacementJournal(folders.settingsFolder, files).exists();
}

Recovery settleInterruptedUpdates(const JournalFolders& folders, const JournalTools& tools) {
    ReplacementJournal journal(folders.programFolder, tools.files);
    const Recovery recovery = settleJournal(journal, tools);
    return together(recovery, settleOlderVersionsJournal(folders.settingsFolder, tools));
}

}  // namespace pelorix::app
