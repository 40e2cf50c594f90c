// The debug log beside the updater: with "UpdateLog" on it holds every run, entry by entry;
// with it off there is none.

#include "e2e_fixture.h"

#include <QFile>

namespace pelorix::e2e {
namespace {

const QStringList kPrinterTypes{"9, TypeName: Axis Printbox (SW)",
                                "10, TypeName: Lexmark Drucker (SW)",
                                "11, TypeName: Lexmark Drucker (Color)",
                                "12, TypeName: Kyocera Mita (SW)",
                                "13, TypeName: Kyocera Mita (Color)",
                                "14, TypeName: Konica Minolta (SW)",
                                "15, TypeName: Konica Minolta (Color)",
                                "16, TypeName: KRT2",
                                "17, TypeName: Nur Color",
                                "18, TypeName: Samsung (SW)",
                                "19, TypeName: Samsung (Color)",
                                "20, TypeName: Ricoh (SW)",
                                "21, TypeName: Ricoh (Color)",
                                "22, TypeName: Sharp (Color)",
                                "23, TypeName: Kyocera Mita (Spezial)"};

const QStringList kReplacementSteps{"Entferne Registrierung für DLL's ...",
                                    "Entferne alte DLL's ...",
                                    "Entferne alten Pelorix ...",
                                    "Entferne alte Dienste ...",
                                    "Entferne alte Reports ...",
                                    "Entferne alte Dokumentationen ...",
                                    "Entferne alte HTML-Dateien ...",
                                    "Entferne alte Sprachdatei ...",
                                    "Installiere neue Sprachdatei ...",
                                    "Installiere neue DLL's ...",
                                    "Installiere neue Reports ...",
                                    "Installiere neuen Pelorix ...",
                                    "Installiere neue Dienste ...",
                                    "Installiere neue Dokumentationen ...",
                                    "Registriere neue DLL's ..."};

// Every status text is an entry, each closing "OK" one of its own; the header of a run is two
// empty lines before "Updater started version: ", which follows the first status text.
QStringList firstRunLog() {
    QStringList log{"Beende den PelorixService",
                    "[]",
                    "[]",
                    "Updater started version: v 6.15.1",
                    "OK",
                    "Beende den HavrelService",
                    "OK",
                    "Checking database ...",
                    "Überprüfe Datenbank ...",
                    "AddColumn. Table: tblPrinters, Column: YTonerOrder, ColumnType: string (50)",
                    "Updating column TonerLimit ..",
                    "UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0"};
    for (const QString& type : kPrinterTypes) {
        log << "AddPrinterType. ID: " + type;
    }
    log << "starting creation of new tables ..."
        << "CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer default 0, [TimeStamp] "
           "date, TonerLevel integer);"
        << "CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])"
        << "OK"
        << "Neue Tabellenspalten: 1"
        << "Neue Gerätetypen: 15"
        << "Komplett neue Tabellen: 1"
        << "Finished database checks. NT: 1, ND: 15, NC: 1";
    for (const QString& step : downloadSteps() + kReplacementSteps) {
        log << step << "OK";
    }
    return log << "Update erfolgreich ausgeführt.";
}

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
