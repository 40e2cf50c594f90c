#include "app/run/installation_lock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace pelorix::app {

namespace {

const QString kLockFileName = "PelorixUpdater.lock";

// A system folder that is the program folder (or a link to it) has one lock file: a second lock
// on it would be refused to the run that holds the first.
QStringList lockFilesIn(const QStringList& folders) {
    QStringList paths;
    QStringList seen;
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        const QString place = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
        if (!seen.contains(place)) {
            seen << place;
            paths << folder + "/" + kLockFileName;
        }
    }
    return paths;
}

}  // namespace

InstallationLock::InstallationLock(QStringList paths, platform::LockFile file)
    : paths_(std::move(paths)), file_(file), path_(paths_.value(0)) {}

InstallationLock::InstallationLock(const QString& programFolder, const QString& systemFolder)
    : InstallationLock(lockFilesIn({programFolder, systemFolder}),
                       platform::LockFile::RemovedOnRelease) {}

InstallationLock InstallationLock::ofOlderVersion(const QString& settingsFolder) {
    return InstallationLock({settingsFolder + "/" + kLockFileName}, platform::LockFile::Kept);
}

platform::LockAttempt InstallationLock::take() {
    release();
    unavailableReason_.clear();
    for (const QString& path : paths_) {
        path_ = path;
        platform::LockResult result = platform::tryExclusiveLock(path, file_);
        if (result.attempt != platform::LockAttempt::Taken) {
            release();
            unavailableReason_ = result.unavailableReason;
            return result.attempt;
        }
        held_.push_back(std::move(result.lock));
    }
    return platform::LockAttempt::Taken;
}

bool InstallationLock::isFree() const {
    return std::none_of(paths_.begin(), paths_.end(), platform::isLockHeldElsewhere);
}

}  // namespace pelorix::app
