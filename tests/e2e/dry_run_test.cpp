// A dry run checks what an unattended run needs, prints its plan and changes no byte of the
// installation; it ends with the status the real run would end with.

#include "e2e_fixture.h"
#include "report_check.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <optional>

namespace pelorix::e2e {
namespace {

class E2eDryRun : public EndToEnd {
  protected:
    // Every file and folder of the sandbox with its content: installation, database, control
    // document, registry, debug log folder.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> everything = fileContents(sandbox.root());
        for (const QString& entry : fileTree(sandbox.root())) {
            everything.insert(entry, everything.value(entry));
        }
        return everything;
    }
    void SetUp() override {
        EndToEnd::SetUp();
        before = snapshot();
    }
    RunResult dryRun() {
        const RunResult run = sandbox.run({"--dry-run", "--report", reportFile()});
        EXPECT_TRUE(run.finished);
        return run;
    }
    // Reading the database file would release another connection's lock on it (POSIX locks
    // belong to the process), so the sandbox is compared only once the lock is given up.
    void expectSandboxUnchanged() const {
        EXPECT_TRUE(snapshot() == before) << "the dry run changed the sandbox";
    }
    QString reportFile() const { return reports.path() + "/report.json"; }

    QTemporaryDir reports;
    QMap<QString, QByteArray> before;
};

TEST_F(E2eDryRun, ListsStatementsAndFilesAndChangesNothing) {
    const RunResult run = dryRun();

    expectSandboxUnchanged();
    EXPECT_EQ(run.exitStatus, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    for (const char* statement :
         {"ALTER TABLE tblPrinters ADD [YTonerOrder] string (50)",
          "INSERT INTO tblTypes (Type, TypeText) VALUES (9, 'Axis Printbox (SW)')",
          "CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer default 0, [TimeStamp] "
          "date, TonerLevel integer);"}) {
        EXPECT_TRUE(run.out.contains(statement)) << statement;
    }
    const QJsonObject report = validatedReport(reportFile());
    EXPECT_EQ(report["status"].toInt(), 0);
    EXPECT_TRUE(report["dryRun"].toBool());
    EXPECT_FALSE(report["changed"].toBool());
    EXPECT_TRUE(report["wouldChange"].toBool());
    const QJsonObject database = report["database"].toObject();
    EXPECT_EQ(database["newColumns"].toInt(), 1);
    EXPECT_EQ(database["newTypes"].toInt(), 15);
    EXPECT_EQ(database["newTables"].toInt(), 1);
    EXPECT_TRUE(database["statements"].toArray().contains(
        "ALTER TABLE tblPrinters ADD [YTonerOrder] string (50)"));
    const QJsonArray files = report["files"].toArray();
    ASSERT_EQ(files.size(), release.size());
    for (const QJsonValue& file : files) {
        const QString name = file["name"].toString();
        EXPECT_EQ(file["bytes"].toInteger(), release.value(name).size()) << name.toStdString();
        EXPECT_TRUE(
            run.out.contains(QString("%1 bytes on the server").arg(release.value(name).size())));
    }
}

// 6: another program holds the database; 7: the server lacks a file.
class E2eDryRunFault : public E2eDryRun, public ::testing::WithParamInterface<int> {};

TEST_P(E2eDryRunFault, EndsWithTheStatusOfTheRealRunAndChangesNothing) {
    const int status = GetParam();
    std::optional<DatabaseView> otherProgram;
    if (status == 6) {
        otherProgram.emplace(sandbox.databaseFile());
        ASSERT_TRUE(otherProgram->execute("BEGIN EXCLUSIVE"));
    } else {
        ASSERT_TRUE(QFile::remove(sandbox.releaseFile("PXHelp.chm")));
        before = snapshot();
    }

    const RunResult run = dryRun();

    EXPECT_EQ(run.exitStatus, status) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QString("Expected exit status: %1").arg(status)));
    const QJsonObject report = validatedReport(reportFile());
    EXPECT_EQ(report["status"].toInt(), status);
    EXPECT_EQ(report["meaning"].toString(), status == 6 ? "database error" : "download error");
    if (otherProgram) {
        EXPECT_TRUE(otherProgram->execute("ROLLBACK"));
    }
    expectSandboxUnchanged();
}

INSTANTIATE_TEST_SUITE_P(, E2eDryRunFault, ::testing::Values(6, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 6 ? std::string("LockedDatabase")
                                                    : std::string("MissingFile");
                         });

}  // namespace
}  // namespace pelorix::e2e
