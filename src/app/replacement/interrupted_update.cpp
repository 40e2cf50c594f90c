#include "app/replacement/interrupted_update.h"

#include "app/release/components.h"
#include "app/run/installation_lock.h"
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

// A copy writes a hidden temporary beside its target: a release file's temporary name (a local
// release folder, a library moved back across file systems) or its final place (a library moved
// into a system folder on another file system).
void removeLeftoverCopies(const InstallationFolders& folders, platform::FileSystem& files) {
    for (const ReleaseComponent& component : kReleaseComponents) {
        files.removeLeftoverTemporaries(component.temporaryPath(folders.programFolder));
        const QString& target = component.installFolder == InstallFolder::SystemFolder
                                    ? folders.systemFolder
                                    : folders.programFolder;
        files.removeLeftoverTemporaries(target + "/" + component.fileName.toString());
    }
}

}  // namespace

bool hasInterruptedUpdate(const InstallationFolders& folders, platform::FileSystem& files) {
    return ReplacementJournal(folders.programFolder, files).exists() ||
           ReplacementJournal(folders.settingsFolder, files).exists();
}

Recovery settleInterruptedUpdates(const InstallationFolders& folders, const JournalTools& tools) {
    ReplacementJournal journal(folders.programFolder, tools.files);
    const Recovery recovery = settleJournal(journal, tools);
    const Recovery older = settleOlderVersionsJournal(folders.settingsFolder, tools);
    removeLeftoverCopies(folders, tools.files);
    return together(recovery, older);
}

}  // namespace pelorix::app
