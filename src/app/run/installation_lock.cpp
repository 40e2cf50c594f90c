#include "app/run/installation_lock.h"

namespace pelorix::app {

InstallationLock::InstallationLock(const QString& settingsFolder)
    : path_(settingsFolder + "/PelorixUpdater.lock") {}

platform::LockAttempt InstallationLock::take() {
    platform::LockResult result = platform::tryExclusiveLock(path_);
    held_ = std::move(result.lock);
    unavailableReason_ = result.unavailableReason;
    return result.attempt;
}

bool InstallationLock::isFree(const QString& settingsFolder) {
    return InstallationLock(settingsFolder).take() != platform::LockAttempt::HeldElsewhere;
}

}  // namespace pelorix::app
