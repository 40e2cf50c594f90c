#include "files/kill_process.h"
#include "platform/process_table.h"
#include "support/run_lock.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace pelorix::files {
namespace {

// Runs a copy of sleep under a Windows-like program name.
class NamedProcess {
  public:
    NamedProcess(const test::TempDir& dir, const QString& name) {
        const QString program = dir.file(name);
        QFile::copy("/bin/sleep", program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        process_.start(program, {"30"});
        process_.waitForStarted();
    }
    ~NamedProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    QProcess& process() { return process_; }

  private:
    QProcess process_;
};

// While such processes run, no other test may run the updater: it would refuse to update beside
// a process named like the main program.
class ProcessLookupTest : public ::testing::Test {
  protected:
    test::RunLock lock{test::RunLock::Kind::Exclusive};
    test::TempDir dir;
};

TEST_F(ProcessLookupTest, MatchesTheEndOfTheNameWithoutRegardToCase) {
    NamedProcess old(dir, "OldPelorix.exe");
    platform::ProcessTable& table = platform::defaultProcessTable();

    EXPECT_TRUE(IsProcessRunning("Pelorix.exe", false, table));
    EXPECT_TRUE(IsProcessRunning("PELORIX.EXE", false, table));
    EXPECT_EQ(old.process().state(), QProcess::Running);  // looked up, not touched
    EXPECT_FALSE(IsProcessRunning("XOldPelorix.exe-not-there", false, table));
    EXPECT_FALSE(IsProcessRunning("", false, table));  // an empty name matches nothing
}

TEST_F(ProcessLookupTest, LongNamesBeyondTheCommandNameLimitMatch) {
    NamedProcess longName(dir, "VeryLongPrefixForPelorix.exe");
    EXPECT_TRUE(IsProcessRunning("ForPelorix.exe", false, platform::defaultProcessTable()));
}

TEST_F(ProcessLookupTest, TerminateEndsEveryMatch) {
    NamedProcess first(dir, "PxKill.exe");
    NamedProcess second(dir, "OtherPxKill.exe");
    EXPECT_TRUE(IsProcessRunning("pxkill.exe", true, platform::defaultProcessTable()));
    EXPECT_TRUE(first.process().waitForFinished(5000));
    EXPECT_TRUE(second.process().waitForFinished(5000));
    EXPECT_FALSE(IsProcessRunning("pxkill.exe", false, platform::defaultProcessTable()));
}

TEST(ProcessNameTest, ShorterStoredNameNeverMatches) {
    class OneProcess : public platform::ProcessTable {
      public:
        std::vector<platform::ProcessEntry> snapshot() const override {
            return {{42, {"x.exe", "C:\\Programme\\Pelorix\\Pelorix.exe"}}};
        }
        bool terminate(long long, int) override { return false; }
    } table;
    EXPECT_FALSE(IsProcessRunning("Pelorix.exe.bak", false, table));
    EXPECT_TRUE(IsProcessRunning("pelorix.exe", false, table));  // a path in front still matches
}

}  // namespace
}  // namespace pelorix::files
