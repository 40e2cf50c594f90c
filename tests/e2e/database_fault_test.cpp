// The database is locked, missing or lacks what the migration expects: a database error ends
// the run with status 6 before any file changes; a database that merely lacks rows or the
// version table is migrated as far as it goes. The next run completes the update.

#include "build_paths.h"
#include "e2e_fixture.h"

#include <QFile>
#include <QProcess>

namespace pelorix::e2e {
namespace {

class E2eDatabaseFault : public EndToEnd {
  protected:
    void expectDatabaseError(const RunResult& run) {
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.out, shutdownOutput(Texts::German) + "Überprüfe Datenbank ...");
        EXPECT_EQ(run.err,
                  confirmationMessage(Texts::German) + databaseErrorMessage(Texts::German));
        EXPECT_EQ(run.exitStatus, 6);
        EXPECT_EQ(sandbox.debugLogMessages().last(), "Database error.");
        expectOldInstallationUntouched();
    }
    void makeDatabase(const QStringList& options) {
        EXPECT_EQ(QProcess::execute(toolExecutable("sample-db", "pelorix-sample-db"),
                                    options + QStringList{"--force", sandbox.databaseFile()}),
                  0);
    }
};

// Another program holds the database: every operation fails, then the message.
TEST_F(E2eDatabaseFault, ALockedDatabaseEndsTheRunWithTheDatabaseMessage) {
    DatabaseView otherProgram(sandbox.databaseFile());
    ASSERT_TRUE(otherProgram.execute("BEGIN EXCLUSIVE"));

    expectDatabaseError(sandbox.run(unattended()));
    ASSERT_TRUE(otherProgram.execute("ROLLBACK"));
    EXPECT_FALSE(otherProgram.columns("tblPrinters").contains("YTonerOrder"));

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

// A missing database is an error, not a new empty database.
TEST_F(E2eDatabaseFault, AMissingDatabaseIsAnErrorAndIsNotCreated) {
    ASSERT_TRUE(QFile::remove(sandbox.databaseFile()));

    expectDatabaseError(sandbox.run(unattended()));
    EXPECT_FALSE(QFile::exists(sandbox.databaseFile()));

    makeDatabase({});
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

// Device types are only added to a table that holds some already.
TEST_F(E2eDatabaseFault, AnEmptyTypeTableGetsNoDeviceTypes) {
    makeDatabase({"--empty-types"});
    printerTypesAdded = false;

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 0, 1);
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
}

// Without tblConfig the version counts as not older: the TonerLimit correction is skipped.
TEST_F(E2eDatabaseFault, WithoutAConfigTableTheTonerLimitsStay) {
    ASSERT_TRUE(DatabaseView(sandbox.databaseFile()).execute("DROP TABLE tblConfig"));
    tonerLimitsCorrected = false;

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
}

// A database at 6.2.0 keeps its TonerLimits of 0.
TEST_F(E2eDatabaseFault, ACurrentDatabaseKeepsItsTonerLimits) {
    makeDatabase({"--version", "6.2.0"});
    tonerLimitsCorrected = false;

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

}  // namespace
}  // namespace pelorix::e2e
