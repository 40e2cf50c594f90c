#pragma once

#include "app/replacement/journal.h"
#include "app/replacement/undo.h"
#include "platform/outcome.h"

#include <QStringList>

#include <vector>

namespace pelorix::app {

// The replacement as one transaction: every change is journalled before it is made, and nothing
// old is destroyed before the new release is complete. An old entry that is removed is kept in
// the backup area of its folder (the same file system) until the commit; a failure rolls all of
// it back.
class ReplacementTransaction {
  public:
    ReplacementTransaction(ReplacementJournal& journal, JournalTools tools);

    // Prepares an empty backup area in each folder; `releaseSources` are the files of a local
    // release folder, removed at the commit. False when the journal cannot be written.
    bool begin(const QStringList& folders, const QStringList& releaseSources);

    // Journalled before the registrar is started for the library.
    bool recordUnregistration(const QString& library);
    bool recordRegistration(const QString& library);

    // The old file is gone from its place and kept in the backup area; false when it could not
    // be removed (it stays in place then).
    platform::Outcome removeFile(const QString& path);
    platform::Outcome removeFolder(const QString& path);
    // The new file moved to its final place.
    platform::Outcome install(const QString& from, const QString& to);

    // The new release is complete: the backup areas, the local release files and the journal go.
    void commit();
    // Everything back as before the replacement; true when every old entry is back.
    bool rollBack();

  private:
    bool record(const JournalEntry& entry);
    platform::Outcome journalFailure() const;
    QString backupPathOf(const QString& resolvedPath) const;

    ReplacementJournal& journal_;
    JournalTools tools_;
    std::vector<JournalEntry> entries_;
};

}  // namespace pelorix::app
