// The database is locked, missing or lacks what the migration expects: a database error ends
// the run with status 6 before any file changes; a database that merely lacks rows or the
// version table is migrated as far as it goes. The next run completes the update.

#include "build_paths.h"
#include "e2e_fixture.h"
#include "inspection.h"
#include "support/silent_server.h"

#include <QFile>
#include <QProcess>

#include <sys/stat.h>

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

// A database file that is missing, is no database or may not be written: the database message,
// and the file stays as it was (a missing one is not created).
enum class UnusableFile { Missing, Empty, ReadOnly };

std::string nameOf(UnusableFile file) {
    switch (file) {
        case UnusableFile::Missing:
            return "Missing";
        case UnusableFile::Empty:
            return "Empty";
        case UnusableFile::ReadOnly:
            return "ReadOnly";
    }
    return {};
}

void PrintTo(UnusableFile file, std::ostream* out) {
    *out << nameOf(file);
}

class E2eUnusableDatabase : public E2eDatabaseFault,
                            public ::testing::WithParamInterface<UnusableFile> {
  protected:
    void makeUnusable() {
        const QByteArray path = QFile::encodeName(sandbox.databaseFile());
        switch (GetParam()) {
            case UnusableFile::Missing:
                ASSERT_TRUE(QFile::remove(sandbox.databaseFile()));
                break;
            case UnusableFile::Empty:
                ASSERT_TRUE(QFile::resize(sandbox.databaseFile(), 0));
                break;
            case UnusableFile::ReadOnly:
                ASSERT_EQ(chmod(path.constData(), 0444), 0);
                break;
        }
    }
};

TEST_P(E2eUnusableDatabase, EndsTheRunWithTheDatabaseMessageAndStaysAsItWas) {
    makeUnusable();
    const bool existed = QFile::exists(sandbox.databaseFile());
    const QByteArray before = existed ? readFile(sandbox.databaseFile()) : QByteArray();

    expectDatabaseError(sandbox.run(unattended()));
    EXPECT_EQ(QFile::exists(sandbox.databaseFile()), existed);
    EXPECT_EQ(existed ? readFile(sandbox.databaseFile()) : QByteArray(), before);

    QFile::remove(sandbox.databaseFile());
    makeDatabase({});
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

INSTANTIATE_TEST_SUITE_P(Files, E2eUnusableDatabase,
                         ::testing::Values(UnusableFile::Missing, UnusableFile::Empty,
                                           UnusableFile::ReadOnly),
                         [](const auto& testCase) { return nameOf(testCase.param); });

// A SQL Server that accepts connections and never answers costs the connect time-out of the
// string once, not once per statement.
TEST_F(E2eDatabaseFault, ASqlServerThatNeverAnswersIsWaitedForOnce) {
    test::SilentServer server;
    ASSERT_NE(server.port(), 0);
    sandbox.writeSettingsBytes(readFile(sandbox.settingsFile()) +
                               "Connectionstring=Provider=SQLOLEDB;Data Source=127.0.0.1," +
                               QByteArray::number(server.port()) +
                               ";Connect Timeout=2;Initial Catalog=Pelorix;User Id=sa\r\n");

    const RunResult run = sandbox.run(unattended());

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + "Überprüfe Datenbank ...");
    EXPECT_TRUE(run.err.startsWith(confirmationMessage(Texts::German)));
    EXPECT_TRUE(run.err.contains("administrativen Zugriff auf die SQL-Datenbank"))
        << run.err.toStdString();
    EXPECT_EQ(run.exitStatus, 6);
    EXPECT_LT(run.elapsed, std::chrono::seconds(10));
    EXPECT_EQ(sandbox.debugLogMessages().last(), "Database error.");
    expectOldInstallationUntouched();
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
