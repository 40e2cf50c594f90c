#include "app/replacement/transaction.h"

#include "files/remove_folder.h"
#include "platform/file_system.h"

#include <utility>

namespace pelorix::app {

namespace {

// Hidden, and in the folder of what it keeps, so that moving aside is a rename.
const QString kBackupAreaName = QStringLiteral(".PelorixUpdater-backup");

QString backupAreaOf(const QString& folder) {
    return folder + "/" + kBackupAreaName;
}

}  // namespace

ReplacementTransaction::ReplacementTransaction(ReplacementJournal& journal, JournalTools tools)
    : journal_(journal), tools_(std::move(tools)) {}

bool ReplacementTransaction::begin(const QStringList& folders, const QStringList& releaseSources) {
    QStringList areas;
    for (const QString& folder : folders) {
        areas << backupAreaOf(tools_.files.resolve(folder));
    }
    areas.removeDuplicates();
    for (const QString& area : areas) {
        // What is there now is the rest of a completed run that could not be removed.
        if (tools_.files.entryExists(area)) {
            files::RemoveFolder(tools_.files, area);
        }
        if (!record({JournalStep::BackupArea, area, {}})) {
            return false;
        }
        if (const platform::Outcome created = tools_.files.createFolder(area); !created) {
            tools_.log("Error creating the backup area " + area + ": " + created.reason());
            return false;
        }
    }
    for (const QString& source : releaseSources) {
        if (!record({JournalStep::ReleaseSource, source, {}})) {
            return false;
        }
    }
    return true;
}

bool ReplacementTransaction::recordUnregistration(const QString& library) {
    return record({JournalStep::Unregister, library, {}});
}

bool ReplacementTransaction::recordRegistration(const QString& library) {
    return record({JournalStep::Register, library, {}});
}

platform::Outcome ReplacementTransaction::removeFile(const QString& path) {
    platform::FileSystem& files = tools_.files;
    const QString original = files.resolve(path);
    const QString backup = backupPathOf(original);
    // Refused as its delete would be; its second name would share the protection and stay.
    if (files.isReadOnly(original)) {
        return platform::Outcome::failure(QStringLiteral("the file is read-only"));
    }
    if (!record({JournalStep::MoveAside, original, backup})) {
        return journalFailure();
    }
    // A second name for the file keeps it, while the delete itself fails where a delete of the
    // file would fail (read-only, in use). A retried removal finds its backup made already.
    if (!files.entryExists(backup) && !files.linkFile(original, backup)) {
        if (const platform::Outcome copied = files.copyFile(original, backup, false); !copied) {
            tools_.log("Error keeping " + original + " in " + backup + ": " + copied.reason());
            return copied;
        }
    }
    return files.deleteFile(original);
}

platform::Outcome ReplacementTransaction::removeFolder(const QString& path) {
    const QString original = tools_.files.resolve(path);
    const QString backup = backupPathOf(original);
    if (!record({JournalStep::MoveAside, original, backup})) {
        return journalFailure();
    }
    return tools_.files.moveFile(original, backup);
}

platform::Outcome ReplacementTransaction::install(const QString& from, const QString& to) {
    if (!record({JournalStep::Install, from, to})) {
        return journalFailure();
    }
    platform::Outcome moved = tools_.files.moveFile(from, to);
    if (!moved) {
        // Nothing moved: the rollback must not take whatever stands at `to` for the new file.
        entries_.pop_back();
    }
    return moved;
}

void ReplacementTransaction::commit() {
    if (!record({JournalStep::Commit, {}, {}})) {
        // Without the mark a later start would roll the complete release back: the journal goes
        // before any backup does.
        journal_.discard();
    }
    finishCompleted(journal_, entries_, tools_);
}

bool ReplacementTransaction::rollBack() {
    return app::rollBack(journal_, entries_, tools_);
}

bool ReplacementTransaction::record(const JournalEntry& entry) {
    if (const platform::Outcome recorded = journal_.record(entry); !recorded) {
        tools_.log("Error writing the journal " + journal_.path() + ": " + recorded.reason());
        return false;
    }
    entries_.push_back(entry);
    return true;
}

platform::Outcome ReplacementTransaction::journalFailure() const {
    return platform::Outcome::failure("the journal " + journal_.path() + " could not be written");
}

QString ReplacementTransaction::backupPathOf(const QString& resolvedPath) const {
    const qsizetype slash = resolvedPath.lastIndexOf('/');
    return backupAreaOf(resolvedPath.left(slash)) + resolvedPath.mid(slash);
}

}  // namespace pelorix::app
