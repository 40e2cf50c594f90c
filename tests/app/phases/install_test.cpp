#include "app/phases/install.h"

#include "app/replacement_scene.h"
#include "app/run/outcome.h"

#include <gtest/gtest.h>
#include <QFile>

namespace pelorix::test {
namespace {

using app::RunOutcome;

const QString kRetryMessage =
    "Der PelorixService konnte nicht deinstalliert werden.!\r"
    "Bitte prüfen Sie, ob alle Meldungsfenster vom Service geschlossen sind, bevor Sie dieses "
    "Fenster bestätigen.!\rDer Vorgang wird nun ein mal wiederholt.!";
const QString kFailureMessage = untranslatedMessage(generalFailureLines());

class ReplacementErrors : public ::testing::Test {
  protected:
    void SetUp() override {
        scene.writeOldInstallation();
        scene.writeDownloadedFiles();
    }

    RunOutcome run() { return app::runReplacement(scene.context()); }

    bool exists(const QString& path) const { return QFile::exists(path); }
    // No new file has reached its place: every temporary file is still there.
    bool nothingInstalled() const {
        return exists(scene.appFile("PX.exe")) && exists(scene.appFile("PXDLL.dll")) &&
               exists(scene.appFile("Language.tmp"));
    }

    ReplacementScene scene;
};

TEST_F(ReplacementErrors, FailedDeleteOfALibraryIsTheFailureExit) {
    scene.files.deleteFailures["TobrinDLL.dll"] = 1;

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList{kFailureMessage});
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Default);
    EXPECT_TRUE(scene.statusText().endsWith("Entferne alte DLL's ... (alt)"));
    EXPECT_TRUE(exists(scene.systemFile("MireldaDLL.dll")));
    EXPECT_TRUE(exists(scene.appFile("Pelorix.exe")));
    EXPECT_TRUE(nothingInstalled());
}

TEST_F(ReplacementErrors, FailedDeleteOfHavrelDllIsSkipped) {
    scene.files.deleteFailures["HavrelDLL.dll"] = 1;
    scene.harness.form.updateLog = true;

    EXPECT_EQ(run(), RunOutcome::Continue);

    EXPECT_TRUE(scene.messageTexts().isEmpty());
    // Support staff can still see what was left behind.
    EXPECT_TRUE(scene.harness.debugLogText().contains("> Error deleting " +
                                                      scene.systemFile("HavrelDLL.dll")));
    EXPECT_TRUE(exists(scene.systemFile("HavrelDLL.dll")));
    EXPECT_EQ(readText(scene.systemFile("Quennel.dll")), "new Quennel.dll");
}

TEST_F(ReplacementErrors, MissingOldEntriesAreSkippedSilently) {
    QFile::remove(scene.systemFile("HavrelDLL.dll"));
    QFile::remove(scene.appFile("PXAS_Dokumentation.pdf"));
    QFile::remove(scene.appFile("PXHelp.chm"));
    QFile::remove(scene.appFile("PXHilfe.chm"));
    QDir(scene.appFile("PelorixDokumentation")).removeRecursively();
    QDir(scene.appFile("web")).removeRecursively();

    EXPECT_EQ(run(), RunOutcome::Continue);

    EXPECT_TRUE(scene.messageTexts().isEmpty());
    EXPECT_EQ(readText(scene.appFile("PXHelp.chm")), "new PXHelp.chm");
}

// The folder row's error mode covers only its existence test: what the folder removal leaves
// behind stays without a message.
TEST_F(ReplacementErrors, FolderThatCannotBeRemovedEntirelyStaysQuietly) {
    const QString locked = scene.appFile("web/locked.html");
    scene.harness.dir.write("app/web/locked.html", "x");
    QFile::setPermissions(locked, QFile::ReadOwner);

    EXPECT_EQ(run(), RunOutcome::Continue);

    EXPECT_TRUE(scene.messageTexts().isEmpty());
    EXPECT_TRUE(exists(locked));
    EXPECT_FALSE(exists(scene.appFile("web/start.html")));
}

TEST_F(ReplacementErrors, ServiceThatCanBeDeletedOnTheRetryGoesOn) {
    scene.files.deleteFailures["PelorixHelper.exe"] = 1;

    EXPECT_EQ(run(), RunOutcome::Continue);

    EXPECT_EQ(scene.messageTexts(), QStringList{kRetryMessage});
    EXPECT_EQ(scene.harness.ui.messages[0].buttons, app::MessageButtons::Ok);
    // Back to the wait cursor after the message.
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Wait);
    EXPECT_EQ(readText(scene.appFile("PelorixHelper.exe")), "new PelorixHelper.exe");
    EXPECT_EQ(
        scene.files.calls.filter("deleteFile").filter(scene.appFile("PelorixHelper.exe")).size(),
        2);
}

TEST_F(ReplacementErrors, ServiceStillLockedOnTheRetryIsTheFailureExit) {
    scene.files.deleteFailures["PelorixHelper.exe"] = 2;

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList({kRetryMessage, kFailureMessage}));
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Default);
    EXPECT_EQ(readText(scene.appFile("HavrelService.exe")), "old HavrelService.exe");  // back
    // Later rows of the step are not touched.
    EXPECT_TRUE(exists(scene.appFile("PXWebServer.exe")));
    EXPECT_TRUE(scene.files.calls.filter("PXWebServer.exe").isEmpty());
    EXPECT_TRUE(nothingInstalled());
}

// One retry for the whole step: a second file that fails after a successful retry ends the run
// without a second retry message.
TEST_F(ReplacementErrors, RetryIsSpentOnceAcrossTheWholeStep) {
    scene.files.deleteFailures["PelorixService.exe"] = 1;
    scene.files.deleteFailures["PXAS.exe"] = 1;

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList({kRetryMessage, kFailureMessage}));
    EXPECT_EQ(readText(scene.appFile("Sorvand.exe")), "old Sorvand.exe");
    EXPECT_TRUE(exists(scene.appFile("PXAS.exe")));
    EXPECT_TRUE(exists(scene.appFile("Reports.exe")));
}

// Outside the services step a delete failure gets no retry.
TEST_F(ReplacementErrors, NoRetryForTheOtherRemovals) {
    scene.files.deleteFailures["Reports.exe"] = 1;

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList{kFailureMessage});
}

TEST_F(ReplacementErrors, MissingDownloadedFileIsTheFailureExitDuringTheMoves) {
    QFile::remove(scene.appFile("PX.exe"));

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList{kFailureMessage});
    // Rolled back: the old release in place, the new files under their temporary names again.
    EXPECT_EQ(readText(scene.appFile("Reports.exe")), "old Reports.exe");
    EXPECT_EQ(readText(scene.appFile("RP.exe")), "new Reports.exe");
    EXPECT_EQ(readText(scene.appFile("Pelorix.exe")), "old Pelorix.exe");
    EXPECT_EQ(readText(scene.systemFile("TobrinDLL.dll")), "old TobrinDLL.dll");
    EXPECT_TRUE(exists(scene.appFile("PXS.exe")));
    // Four unregistrations, no registration, the four old libraries registered again.
    ASSERT_EQ(scene.programs.started.size(), 8u);
    EXPECT_EQ(scene.programs.started[4].mid(1),
              QStringList({scene.systemFile("TobrinDLL.dll"), "/s"}));
}

TEST_F(ReplacementErrors, RegistrarThatCannotStartIsTheFailureExitExceptForMirelda) {
    scene.programs.fails = registrarStart("MireldaDLL.dll", true);

    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_TRUE(scene.messageTexts().isEmpty());
    EXPECT_EQ(scene.programs.started.size(), 8u);
}

TEST_F(ReplacementErrors, FailedUnregistrationStartRemovesNothing) {
    scene.programs.fails = registrarStart("Quennel.dll", true);

    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    EXPECT_EQ(scene.messageTexts(), QStringList{kFailureMessage});
    // The three unregistered libraries are registered again.
    EXPECT_EQ(scene.programs.started.size(), 6u);
    EXPECT_TRUE(exists(scene.systemFile("TobrinDLL.dll")));
    EXPECT_TRUE(
        scene.files.calls.filter("deleteFile " + scene.harness.form.systemFolder + "/").isEmpty());
    // Only the journal, which lies in the program folder, goes.
    const QString appPath = scene.harness.settings.appPath;
    EXPECT_EQ(scene.files.calls.filter("deleteFile " + appPath + "/"),
              QStringList{"deleteFile " + appPath + "/PelorixUpdater.journal"});
}

// A registrar that cannot start, or that exits with an error, fails the step: the libraries
// registered so far are unregistered, the old release is put back and registered again.
TEST_F(ReplacementErrors, FailedRegistrationRollsTheReplacementBack) {
    for (const bool startFails : {true, false}) {
        SCOPED_TRACE(startFails ? "cannot start" : "exits with an error");
        ReplacementScene fresh;
        fresh.writeOldInstallation();
        fresh.writeDownloadedFiles();
        fresh.harness.form.updateLog = true;
        (startFails ? fresh.programs.fails : fresh.programs.exitsWithError) =
            registrarStart("Quennel.dll", false);

        EXPECT_EQ(app::runReplacement(fresh.context()), RunOutcome::GeneralFailure);

        EXPECT_EQ(fresh.messageTexts(), QStringList{kFailureMessage});
        // Four unregistrations, three registrations, the two registered ones and Quennel
        // unregistered, the four old ones registered again.
        ASSERT_EQ(fresh.programs.started.size(), 14u);
        EXPECT_EQ(fresh.programs.started[7].mid(1),
                  QStringList({fresh.systemFile("Quennel.dll"), "/u", "/s"}));
        EXPECT_EQ(readText(fresh.systemFile("braskDLL.dll")), "old braskDLL.dll");
        EXPECT_EQ(readText(fresh.systemFile("Quennel.dll")), "old Quennel.dll");
        EXPECT_EQ(readText(fresh.appFile("QNLDLL.dll")), "new Quennel.dll");
        EXPECT_FALSE(fresh.statusText().endsWith("\r\n"));
        const QString log = fresh.harness.debugLogText();
        EXPECT_TRUE(log.contains(fresh.systemFile("Quennel.dll"))) << log.toStdString();
        EXPECT_TRUE(log.contains("The previous release has been restored.")) << log.toStdString();
    }
}

}  // namespace
}  // namespace pelorix::test
