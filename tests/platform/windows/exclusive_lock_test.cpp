#include "platform/exclusive_lock.h"
#include "platform/windows/win32_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <windows.h>

namespace pelorix::test {
namespace {

using platform::LockAttempt;
using platform::LockFile;
using platform::tryExclusiveLock;

struct LockFileCase {
    const char* name;
    LockFile file;
    bool keptAfterRelease;
};

class ExclusiveLock : public ::testing::TestWithParam<LockFileCase> {};

// Locks belong to handles, so a second handle of the same process stands in for another run:
// it is refused while the first holds the lock and gets it once the first let go; a probe sees
// the holder without making or removing the file.
TEST_P(ExclusiveLock, OneHolderAtATime) {
    TempDir dir;
    const QString path = dir.file("PelorixUpdater.lock");
    EXPECT_FALSE(platform::isLockHeldElsewhere(path));
    EXPECT_FALSE(QFile::exists(path));

    platform::LockResult first = tryExclusiveLock(path, GetParam().file);
    ASSERT_EQ(first.attempt, LockAttempt::Taken);
    EXPECT_EQ(tryExclusiveLock(path, GetParam().file).attempt, LockAttempt::HeldElsewhere);
    EXPECT_TRUE(platform::isLockHeldElsewhere(path));

    first.lock.reset();
    EXPECT_EQ(QFile::exists(path), GetParam().keptAfterRelease);
    EXPECT_FALSE(platform::isLockHeldElsewhere(path));
    EXPECT_EQ(tryExclusiveLock(path, GetParam().file).attempt, LockAttempt::Taken);
    const platform::LockResult unavailable =
        tryExclusiveLock(dir.file("missing/folder.lock"), GetParam().file);
    EXPECT_EQ(unavailable.attempt, LockAttempt::Unavailable);
    EXPECT_EQ(unavailable.unavailableReason, platform::errorText(ERROR_PATH_NOT_FOUND));
}

INSTANTIATE_TEST_SUITE_P(Files, ExclusiveLock,
                         ::testing::Values(LockFileCase{"Kept", LockFile::Kept, true},
                                           LockFileCase{"RemovedOnRelease",
                                                        LockFile::RemovedOnRelease, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::test
