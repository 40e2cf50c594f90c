// The debug log beside the updater: with "UpdateLog" on it holds every run, entry by entry;
// with it off there is none.

#include "e2e_fixture.h"

#include <QFile>

namespace pelorix::e2e {
namespace {

using E2eFullRun = EndToEnd;
using E2eDebugLog = EndToEnd;

// A full run, then a second one that fetches and installs everything again and finds the
// database complete; the debug log holds both.
TEST_F(E2eFullRun, UpdatesAndLogsEverythingAndASecondRunDoesItAllAgain) {
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    const QStringList first = sandbox.debugLogMessages();
    EXPECT_EQ(first, firstRunLog());

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    const QStringList both = sandbox.debugLogMessages();
    ASSERT_GT(both.size(), first.size());
    EXPECT_EQ(both.mid(0, first.size()), first) << "the log was not appended to";
    const QStringList second = both.mid(first.size());
    EXPECT_EQ(second.mid(0, 4), firstRunLog().mid(0, 4));
    EXPECT_TRUE(second.contains("Finished database checks. NT: 0, ND: 0, NC: 0"));
    // The existing index is created again, and its rejection logged.
    const qsizetype index =
        second.indexOf("CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])");
    ASSERT_GE(index, 0);
    EXPECT_TRUE(second.value(index + 1).startsWith("Database error (Create index on table): "));
    // The migration leaves the version stamp at 6.1.0: the correction runs again, finding nothing.
    EXPECT_TRUE(second.contains("Updating column TonerLimit .."));
    EXPECT_FALSE(QFile::exists(sandbox.appFolder() + "/PXS.exe"));
}

TEST_F(E2eDebugLog, WithUpdateLogOffThereIsNone) {
    sandbox.writeSettings("DE", "0");

    const RunResult run = sandbox.run(unattended({"--db-only"}));

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_FALSE(QFile::exists(sandbox.debugLogFile()));
}

}  // namespace
}  // namespace pelorix::e2e
