// Whole updates of a sandbox installation by the built executable, headless.

#include "e2e_fixture.h"
#include "old_installation.h"
#include "process_scan.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace pelorix::e2e {
namespace {

using E2eFullRun = EndToEnd;

TEST_F(E2eFullRun, DatabaseOnlyMigratesAndLeavesEveryFileAsItWas) {
    const RunResult run = sandbox.run(unattended({"--db-only"}));

    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                           "Datenbankupdate erfolgreich ausgeführt.\n");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + finalQuestion(Texts::German));
    EXPECT_EQ(run.exitStatus, 0);
    expectDatabaseMigrated();
    expectOldInstallationUntouched();
    const QStringList tree = fileTree(sandbox.appFolder());
    EXPECT_TRUE(tree.contains("web/css/") && tree.contains("PelorixDokumentation/Bilder/"));
}

// The other cases shorten the procedure's own waits; a user's run waits them in full: a second
// each around the migration and the completion, two for the unregistration.
TEST_F(E2eFullRun, WithoutTheTestKnobEveryWaitLastsItsSeconds) {
    sandbox.setEnvironment("PELORIX_TEST_WAIT_PERCENT", "");
    QElapsedTimer timer;
    timer.start();

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    EXPECT_GE(timer.elapsed(), 5000);
    EXPECT_FALSE(sandbox.debugLogMessages().join("\n").contains("wait"));
}

TEST_F(E2eFullRun, EnglishTextsComeFromTheLanguageFile) {
    sandbox.writeSettings("EN");

    expectCompleteUpdate(sandbox.run(unattended()), Texts::English, 1, 15, 1);
}

// Without a language file every text is marked, until the new release brings one: the texts
// after its installation are translated again.
TEST_F(E2eFullRun, WithoutALanguageFileEveryTextIsMarkedUntilTheNewOneIsInstalled) {
    sandbox.removeLanguageFile();
    oldAppFolder.remove("Language.ini");

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, outputMarkedUntilTheNewLanguageFile());
    EXPECT_EQ(run.err, confirmationMessage(Texts::Untranslated) + finalQuestion(Texts::German));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
}

TEST_F(E2eFullRun, HeadlessWithoutConfirmationCancelsAndChangesNothing) {
    const RunResult run = sandbox.run({"--headless"});

    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 4);
    expectOldInstallationUntouched();
    EXPECT_EQ(DatabaseView(sandbox.databaseFile()).printerTypes().filter("Axis"), QStringList{});
}

// The final question answered Yes starts the newly installed main program.
TEST_F(E2eFullRun, StartMainRunsTheNewMainProgram) {
    const QString marker = sandbox.path("main-program-ran");
    QByteArray program = "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\nexit 0\n";
    program += QByteArray(1'400'001, '#');
    QFile releaseFile(sandbox.releaseFile("Pelorix.exe"));
    ASSERT_TRUE(releaseFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    releaseFile.write(program);
    releaseFile.close();
    release["Pelorix.exe"] = program;

    // A process named Pelorix.exe stops every other update: none may run meanwhile.
    sandbox.keepOtherRunsAway();
    const RunResult run = sandbox.run(unattended({"--start-main"}));
    for (int waited = 0; waited < 100 && !QFile::exists(marker); ++waited) {
        QThread::msleep(50);
    }
    EXPECT_TRUE(endProcessesMentioning(sandbox.appFolder() + "/"));
    sandbox.otherRunsMayGoOn();

    EXPECT_EQ(run.out, fullRunOutput(Texts::German));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + finalQuestion(Texts::German));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(QFile::exists(marker)) << "the new Pelorix.exe did not run";
    expectNewReleaseInstalled();
}

}  // namespace
}  // namespace pelorix::e2e
