#include "platform/exclusive_lock.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using platform::LockAttempt;
using platform::tryExclusiveLock;

// A second holder is refused while the first holds the lock, and gets it once the first let go.
TEST(ExclusiveLock, OneHolderAtATime) {
    TempDir dir;
    const QString path = dir.file("PelorixUpdater.lock");

    platform::LockResult first = tryExclusiveLock(path);
    ASSERT_EQ(first.attempt, LockAttempt::Taken);
    EXPECT_EQ(tryExclusiveLock(path).attempt, LockAttempt::HeldElsewhere);

    first.lock.reset();
    EXPECT_EQ(tryExclusiveLock(path).attempt, LockAttempt::Taken);
    const platform::LockResult unavailable = tryExclusiveLock(dir.file("missing/folder.lock"));
    EXPECT_EQ(unavailable.attempt, LockAttempt::Unavailable);
    EXPECT_EQ(unavailable.unavailableReason, "No such file or directory");
}

}  // namespace
}  // namespace pelorix::test
