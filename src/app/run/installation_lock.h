#pragma once

#include "platform/exclusive_lock.h"

#include <QString>

namespace pelorix::app {

// The lock that lets one update at a time work on an installation: a lock file in the
// installation's settings folder, held for as long as a run may change anything.
class InstallationLock {
  public:
    explicit InstallationLock(const QString& settingsFolder);

    // Taken, held by another run of this installation, or unavailable (no lock file possible).
    platform::LockAttempt take();
    void release() { held_.reset(); }
    bool isHeld() const { return held_ != nullptr; }
    const QString& path() const { return path_; }
    // Why the last take found the lock unavailable.
    const QString& unavailableReason() const { return unavailableReason_; }

    // True when no run holds the lock now; the lock is not kept.
    static bool isFree(const QString& settingsFolder);

  private:
    QString path_;
    std::unique_ptr<platform::ExclusiveLock> held_;
    QString unavailableReason_;
};

}  // namespace pelorix::app
