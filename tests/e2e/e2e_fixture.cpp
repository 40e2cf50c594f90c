#include "e2e_fixture.h"

#include "old_installation.h"
#include "process_scan.h"

namespace pelorix::e2e {

namespace {

const QStringList kNewPrinterTypes{"9 Axis Printbox (SW)",
                                   "10 Lexmark Drucker (SW)",
                                   "11 Lexmark Drucker (Color)",
                                   "12 Kyocera Mita (SW)",
                                   "13 Kyocera Mita (Color)",
                                   "14 Konica Minolta (SW)",
                                   "15 Konica Minolta (Color)",
                                   "16 KRT2",
                                   "17 Nur Color",
                                   "18 Samsung (SW)",
                                   "19 Samsung (Color)",
                                   "20 Ricoh (SW)",
                                   "21 Ricoh (Color)",
                                   "22 Sharp (Color)",
                                   "23 Kyocera Mita (Spezial)"};

}  // namespace

void EndToEnd::SetUp() {
    sandbox.startSupervisor();
    sandbox.startUpdateServer();
    release = fileContents(sandbox.path("release/Updater"));
    // The signed checksum list beside the sixteen files is no file of the installation.
    release.remove("SHA256SUMS");
    release.remove("SHA256SUMS.minisig");
    oldAppFolder = fileContents(sandbox.appFolder());
    oldSystemFolder = fileContents(sandbox.systemFolder());
}

QStringList EndToEnd::unattended(const QStringList& more) {
    return QStringList{"--unattended"} + more;
}

void EndToEnd::expectCompleteUpdate(const RunResult& run, Texts texts, int columns, int deviceTypes,
                                    int tables) {
    ASSERT_TRUE(run.finished) << run.out.toStdString() << run.err.toStdString();
    if (run.exitStatus == 3) {
        ADD_FAILURE() << "a main program runs: "
                      << mainProgramLookalikes().join('\n').toStdString();
    }
    EXPECT_EQ(run.out, fullRunOutput(texts, columns, deviceTypes, tables));
    EXPECT_EQ(run.err, confirmationMessage(texts) + finalQuestion(texts));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
    expectDatabaseMigrated();
}

void EndToEnd::expectOneUpdatedAndTheOtherEndedWithNine(const RunResult& a, const RunResult& b) {
    const RunResult& winner = a.exitStatus == 0 ? a : b;
    const RunResult& other = a.exitStatus == 0 ? b : a;
    EXPECT_EQ(QList<int>({winner.exitStatus, other.exitStatus}), QList<int>({0, 9}))
        << a.err.toStdString() << b.err.toStdString();
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(other.err, confirmationMessage(Texts::German) +
                             messageBox({"Ein anderes Update dieser Installation läuft bereits."}));
    expectCompleteUpdate(winner, Texts::German, 1, 15, 1);
}

void EndToEnd::expectNewReleaseInstalled() {
    ASSERT_EQ(release.size(), 16);
    QMap<QString, QByteArray> programFolder = release;
    QMap<QString, QByteArray> systemFolder;
    QStringList registered;
    for (const QString& library : comLibraries()) {
        systemFolder.insert(library, programFolder.take(library));
        registered << sandbox.systemFolder() + "/" + library;
    }
    const auto installed = fileContents(sandbox.appFolder());
    EXPECT_EQ(installed.keys(), programFolder.keys());
    EXPECT_TRUE(installed == programFolder) << "a file of the program folder is not the new one";
    const auto libraries = fileContents(sandbox.systemFolder());
    EXPECT_EQ(libraries.keys(), systemFolder.keys());
    EXPECT_TRUE(libraries == systemFolder) << "a library is not the new one";
    // The registrars run side by side, so the order of the registry is theirs.
    std::sort(registered.begin(), registered.end());
    EXPECT_EQ(sandbox.registeredLibraries(registered), registered);
}

void EndToEnd::expectOldInstallationUntouched() {
    QMap<QString, QByteArray> programFolder = fileContents(sandbox.appFolder());
    // A failed download leaves its files under their temporary names beside the old release.
    for (const QString& temporary : temporaryFileNames()) {
        programFolder.remove(temporary);
    }
    EXPECT_EQ(programFolder.keys(), oldAppFolder.keys());
    EXPECT_TRUE(programFolder == oldAppFolder) << "an old file changed";
    EXPECT_TRUE(fileContents(sandbox.systemFolder()) == oldSystemFolder) << "a library changed";
    QStringList registered;
    for (const QString& library : comLibraries()) {
        registered << sandbox.systemFolder() + "/" + library;
    }
    std::sort(registered.begin(), registered.end());
    EXPECT_EQ(sandbox.registeredLibraries(registered), registered);
}

void EndToEnd::expectDatabaseMigrated() {
    const DatabaseView database(sandbox.databaseFile());
    EXPECT_TRUE(database.columns("tblPrinters").contains("YTonerOrder"));
    EXPECT_EQ(database.columns("tblTonerFlow"),
              (QStringList{"FlowID", "PrinterID", "TimeStamp", "TonerLevel"}));
    EXPECT_TRUE(database.uniqueIndexColumns("tblDepartment").contains("DepartmentID"));
    const QStringList types = database.printerTypes();
    if (printerTypesAdded) {
        EXPECT_EQ(types.mid(types.size() - 15), kNewPrinterTypes);
    } else {
        EXPECT_EQ(types, QStringList{});
    }
    EXPECT_EQ(database.values("SELECT COUNT(*) FROM tblPrinters WHERE TonerLimit = 0"),
              QStringList{tonerLimitsCorrected ? "0" : "2"});
}

}  // namespace pelorix::e2e
