#pragma once

#include <QString>

#include <memory>

namespace pelorix::platform {

// An exclusive lock on a lock file, held until the object goes. The operating system lets it go
// with the process, so a run that was killed never leaves it taken; programs the holder starts
// do not inherit it.
class ExclusiveLock {
  public:
    virtual ~ExclusiveLock() = default;
};

enum class LockAttempt { Taken, HeldElsewhere, Unavailable };

// Whether the lock file goes when the lock is let go. Only a lock file that every holder takes
// as RemovedOnRelease may go: such a holder makes sure that the file it locked is still the one
// at the path, so one that was removed under it is never taken for the lock.
enum class LockFile { Kept, RemovedOnRelease };

struct LockResult {
    LockAttempt attempt = LockAttempt::Unavailable;
    std::unique_ptr<ExclusiveLock> lock;  // set when taken
    QString unavailableReason;            // set when unavailable
};

// Takes the lock on `path` (the file is created when missing) without waiting for it.
// Unavailable: the lock file cannot be opened or created.
LockResult tryExclusiveLock(const QString& path, LockFile file = LockFile::Kept);

// True when a holder has the lock on an existing lock file now. The file is neither created nor
// removed, and the lock is let go at once.
bool isLockHeldElsewhere(const QString& path);

}  // namespace pelorix::platform
