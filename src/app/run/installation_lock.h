#pragma once

#include "platform/exclusive_lock.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace pelorix::app {

// The lock that lets one update at a time work on an installation. It lies where the files are
// that a run changes: a lock file in the program folder, then one in the system folder for the
// libraries, each taken without waiting and held for as long as a run may change anything. Two
// settings folders that name the same program folder share it. The lock files go when the lock
// is let go.
class InstallationLock {
  public:
    InstallationLock(const QString& programFolder, const QString& systemFolder);

    // The lock an older version took in the settings folder; its file is kept, since that
    // version does not expect it to go.
    static InstallationLock ofOlderVersion(const QString& settingsFolder);

    // Taken (every lock file), held by another run of this installation, or unavailable (a lock
    // file cannot be made). Nothing is held unless every lock file was taken.
    platform::LockAttempt take();
    void release() { held_.clear(); }
    bool isHeld() const { return !held_.empty(); }
    // The lock file the last take stopped at (the first one before any take).
    const QString& path() const { return path_; }
    // Why the last take found the lock unavailable.
    const QString& unavailableReason() const { return unavailableReason_; }

    // True when no run holds any of the lock files now; no lock file is made or removed.
    bool isFree() const;

  private:
    InstallationLock(QStringList paths, platform::LockFile file);

    QStringList paths_;
    platform::LockFile file_;
    std::vector<std::unique_ptr<platform::ExclusiveLock>> held_;
    QString path_;
    QString unavailableReason_;
};

}  // namespace pelorix::app
