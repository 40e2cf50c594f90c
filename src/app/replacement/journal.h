#pragma once

#include "platform/outcome.h"

#include <QString>

#include <vector>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::app {

// One change of the replacement, recorded before it is made.
enum class JournalStep {
    BackupArea,     // path: a folder that holds what was moved aside
    ReleaseSource,  // path: a file of a local release folder, removed once the update completed
    Unregister,     // path: a library whose registration is undone
    MoveAside,      // path: an old entry; other: its place in a backup area
    Install,        // path: a new file under its temporary name; other: its final place
    Register,       // path: a new library being registered
    Commit,         // the new release is complete; only the clean-up remains
    Undone,         // path: the key of a change a rollback has undone (after the undo)
};

struct JournalEntry {
    JournalStep step;
    QString path;
    QString other;
};

// The replacement's journal in a folder (the program folder; an older version kept it in the
// settings folder): one line a change, each on the disk before the change is made, so that a run
// that was killed can be undone by the next.
class ReplacementJournal {
  public:
    ReplacementJournal(const QString& folder, platform::FileSystem& files);

    const QString& path() const { return path_; }
    bool exists() const;
    // A failure when the line could not be made durable (the change must not be made then).
    platform::Outcome record(const JournalEntry& entry);
    // The complete lines; a line torn by a crash was never acted on and is left out.
    std::vector<JournalEntry> read() const;
    bool discard();

    // The text that names a change in the journal; an undone change is recorded by it.
    static QString keyOf(const JournalEntry& entry);

  private:
    QString path_;
    platform::FileSystem& files_;
};

}  // namespace pelorix::app
