#pragma once

#include "app/replacement/journal.h"

#include <QString>

#include <functional>
#include <vector>

namespace pelorix::platform {
class FileSystem;
class ProgramStarter;
}  // namespace pelorix::platform

namespace pelorix::app {

// What undoing or finishing a replacement works with.
struct JournalTools {
    platform::FileSystem& files;
    platform::ProgramStarter& programs;
    QString registrar;
    std::function<void(const QString&)> log;
};

// Undoes the recorded changes, newest first: the new libraries unregistered, the new files back
// under their temporary names, the old entries back in their places, the old libraries
// registered again. True when every old entry is back; only then do the backup areas and the
// journal go (otherwise both stay for the next attempt).
bool rollBack(ReplacementJournal& journal, const std::vector<JournalEntry>& entries,
              const JournalTools& tools);

// The clean-up of a replacement that completed: the backup areas, the files of a local release
// folder, the journal.
void finishCompleted(ReplacementJournal& journal, const std::vector<JournalEntry>& entries,
                     const JournalTools& tools);

enum class Recovery { NothingToDo, Restored, Completed, Failed };

// Settles a journal left by a run that ended inside its replacement (killed, power lost): its
// changes are rolled back, or, when it had committed, its clean-up is finished.
Recovery settleJournal(ReplacementJournal& journal, const JournalTools& tools);

}  // namespace pelorix::app
