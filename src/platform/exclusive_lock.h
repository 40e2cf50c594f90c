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

struct LockResult {
    LockAttempt attempt = LockAttempt::Unavailable;
    std::unique_ptr<ExclusiveLock> lock;  // set when taken
    QString unavailableReason;            // set when unavailable
};

// Takes the lock on `path` (the file is created when missing) without waiting for it.
// Unavailable: the lock file cannot be opened or created.
LockResult tryExclusiveLock(const QString& path);

}  // namespace pelorix::platform
