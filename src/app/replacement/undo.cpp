#include "app/replacement/undo.h"

#include "files/remove_folder.h"
#include "platform/file_system.h"
#include "platform/program_start.h"

#include <QSet>

#include <algorithm>

namespace pelorix::app {

namespace {

// Each change that has been undone is marked in the journal, so that a rollback that was itself
// killed is continued, never repeated: repeating it would take the old files it had put back for
// new ones.
class Undo {
  public:
    Undo(ReplacementJournal& journal, const JournalTools& tools)
        : journal_(journal), tools_(tools), files_(tools.files) {}

    bool run(const std::vector<JournalEntry>& entries) {
        const QSet<QString> undone = undoneKeys(entries);
        std::vector<const JournalEntry*> oldLibraries;
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
            if (undone.contains(ReplacementJournal::keyOf(*entry))) {
                continue;
            }
            if (entry->step == JournalStep::Unregister) {
                oldLibraries.insert(oldLibraries.begin(), &*entry);
            } else if (undo(*entry)) {
                markUndone(*entry);
            }
        }
        QStringList registered;
        for (const JournalEntry* library : oldLibraries) {
            if (!registered.contains(library->path)) {
                runRegistrar(library->path, {"/s"});
                registered << library->path;
            }
            markUndone(*library);
        }
        return complete_;
    }

  private:
    static QSet<QString> undoneKeys(const std::vector<JournalEntry>& entries) {
        QSet<QString> keys;
        for (const JournalEntry& entry : entries) {
            if (entry.step == JournalStep::Undone) {
                keys.insert(entry.path);
            }
        }
        return keys;
    }

    // True when the change is undone (or had nothing to undo).
    bool undo(const JournalEntry& entry) {
        switch (entry.step) {
            case JournalStep::Register:
                runRegistrar(entry.path, {"/u", "/s"});
                return true;
            case JournalStep::Install:
                return takeBackNewFile(entry.path, entry.other);
            case JournalStep::MoveAside:
                return putBack(entry.path, entry.other);
            default:
                return false;
        }
    }

    void markUndone(const JournalEntry& entry) {
        const JournalEntry mark{JournalStep::Undone, ReplacementJournal::keyOf(entry), {}};
        if (const platform::Outcome recorded = journal_.record(mark); !recorded && !markFailed_) {
            markFailed_ = true;
            tools_.log("Error writing the journal " + journal_.path() + ": " + recorded.reason());
        }
    }

    // A new file that reached its place goes back under its temporary name, so that nothing of
    // the download is lost; a copy that was half done across file systems is dropped. What
    // stands at the place with other contents is not the new file and stays.
    bool takeBackNewFile(const QString& temporary, const QString& finalPath) {
        if (files_.normalFileExists(temporary)) {
            if (files_.normalFileExists(finalPath) && sameContents(temporary, finalPath)) {
                return check(files_.deleteFile(finalPath), "delete " + finalPath);
            }
            return true;
        }
        if (files_.normalFileExists(finalPath)) {
            return check(files_.moveFile(finalPath, temporary),
                         "move " + finalPath + " back to " + temporary);
        }
        return true;
    }

    bool sameContents(const QString& one, const QString& other) const {
        const platform::Fallible<QByteArray> first = files_.readFile(one);
        const platform::Fallible<QByteArray> second = files_.readFile(other);
        return first && second && *first == *second;
    }

    bool putBack(const QString& original, const QString& backup) {
        if (files_.entryExists(backup) && !files_.entryExists(original)) {
            return check(files_.moveFile(backup, original), "restore " + original);
        }
        return true;
    }

    void runRegistrar(const QString& library, const QStringList& switches) {
        if (!files_.normalFileExists(library)) {
            return;
        }
        const QStringList argv = QStringList{tools_.registrar, library} + switches;
        const platform::Fallible<int> status = tools_.programs.runToEnd(argv);
        if (!status) {
            tools_.log("Error running " + argv.join(' ') + ": " + status.reason());
        } else if (*status != 0) {
            tools_.log(QStringLiteral("Error running %1: exit status %2")
                           .arg(argv.join(' '))
                           .arg(*status));
        }
    }

    bool check(const platform::Outcome& done, const QString& what) {
        if (!done) {
            tools_.log("Could not " + what + ": " + done.reason());
            complete_ = false;
        }
        return static_cast<bool>(done);
    }

    ReplacementJournal& journal_;
    const JournalTools& tools_;
    platform::FileSystem& files_;
    bool complete_ = true;
    bool markFailed_ = false;  // said once: a journal that cannot be written stays so
};

// What a completed update could not delete of an old entry stays where the entry was, as it
// would have without a backup.
void dropBackups(const std::vector<JournalEntry>& entries, const JournalTools& tools) {
    platform::FileSystem& files = tools.files;
    for (const JournalEntry& entry : entries) {
        if (entry.step != JournalStep::MoveAside || !files.entryExists(entry.other)) {
            continue;
        }
        if (files.normalFileExists(entry.other)) {
            static_cast<void>(files.deleteFile(entry.other));
        } else {
            files::RemoveFolder(files, entry.other);
        }
        if (files.entryExists(entry.other) && !files.entryExists(entry.path)) {
            static_cast<void>(files.moveFile(entry.other, entry.path));
        }
    }
}

void removeBackupAreas(const std::vector<JournalEntry>& entries, const JournalTools& tools) {
    for (const JournalEntry& entry : entries) {
        if (entry.step == JournalStep::BackupArea && tools.files.entryExists(entry.path)) {
            files::RemoveFolder(tools.files, entry.path);
        }
    }
}

}  // namespace

bool rollBack(ReplacementJournal& journal, const std::vector<JournalEntry>& entries,
              const JournalTools& tools) {
    if (!Undo(journal, tools).run(entries)) {
        tools.log(
            "The previous release could not be restored entirely; its files are kept in "
            "the backup areas for the next start.");
        return false;
    }
    removeBackupAreas(entries, tools);
    journal.discard();
    tools.log("The previous release has been restored.");
    return true;
}

void finishCompleted(ReplacementJournal& journal, const std::vector<JournalEntry>& entries,
                     const JournalTools& tools) {
    dropBackups(entries, tools);
    removeBackupAreas(entries, tools);
    for (const JournalEntry& entry : entries) {
        if (entry.step == JournalStep::ReleaseSource && tools.files.normalFileExists(entry.path)) {
            static_cast<void>(tools.files.deleteFile(entry.path));
        }
    }
    journal.discard();
}

Recovery settleJournal(ReplacementJournal& journal, const JournalTools& tools) {
    if (!journal.exists()) {
        return Recovery::NothingToDo;
    }
    const std::vector<JournalEntry> entries = journal.read();
    const bool committed = std::any_of(entries.begin(), entries.end(), [](const JournalEntry& e) {
        return e.step == JournalStep::Commit;
    });
    if (committed) {
        tools.log("Finishing the clean-up of a completed update.");
        finishCompleted(journal, entries, tools);
        return Recovery::Completed;
    }
    tools.log("An update ended during its replacement; restoring the previous release.");
    return rollBack(journal, entries, tools) ? Recovery::Restored : Recovery::Failed;
}

}  // namespace pelorix::app
