// One run per installation, interruptions and kills: whatever happens to a run, the installation
// is either the old release or the new one, complete, and the next run completes the update.

#include "e2e_fixture.h"
#include "held_release_server.h"
#include "old_installation.h"

#include <QDir>
#include <QFile>

#include <csignal>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

const QString kRestoredLine =
    "Die vorherige Version wurde nach einem abgebrochenen Update wiederhergestellt.\n";

class E2eOneRun : public EndToEnd {
  protected:
    // The second run completes the update on the migrated database.
    void expectNextRunCompletes() {
        expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    }
};

// The second run's settings: the sandbox's own, or another settings folder whose settings name
// the same program folder (the lock lies where the files are, not beside the settings).
struct SecondRun {
    const char* name;
    bool ownSettingsFolder;
};

void PrintTo(const SecondRun& run, std::ostream* out) {
    *out << run.name;
}

class E2eTwoRuns : public E2eOneRun, public ::testing::WithParamInterface<SecondRun> {
  protected:
    // A copy of the settings and the same control document under a folder of its own.
    QString otherSettingsFolder() {
        const QString appData = sandbox.path("appdata2");
        EXPECT_TRUE(QDir().mkpath(appData + "/Pelorix"));
        EXPECT_TRUE(QFile::copy(sandbox.settingsFile(), appData + "/Pelorix/Pelorix.ini"));
        EXPECT_TRUE(QFile::link(sandbox.appDataFolder() + "/OrvaneTrellisService",
                                appData + "/OrvaneTrellisService"));
        return appData;
    }
};

TEST_P(E2eTwoRuns, OfTwoRunsStartedTogetherOneUpdatesAndTheOtherEndsWithNine) {
    const QString secondAppData = GetParam().ownSettingsFolder ? QString() : otherSettingsFolder();
    auto first = sandbox.start(unattended());
    sandbox.setEnvironment("PELORIX_COMMON_APPDATA", secondAppData);
    auto second = sandbox.start(unattended());
    sandbox.setEnvironment("PELORIX_COMMON_APPDATA", {});
    const RunResult a = first->wait(Sandbox::kRunLimit);
    const RunResult b = second->wait(Sandbox::kRunLimit);
    expectOneUpdatedAndTheOtherEndedWithNine(a, b);
}

INSTANTIATE_TEST_SUITE_P(Settings, E2eTwoRuns,
                         ::testing::Values(SecondRun{"SameSettingsFolder", true},
                                           SecondRun{"OtherSettingsFolderSameProgramFolder",
                                                     false}),
                         [](const ::testing::TestParamInfo<SecondRun>& testCase) {
                             return std::string(testCase.param.name);
                         });

// One file after the other, so that the held file is the one the status box is at.
TEST_F(E2eOneRun, SigtermDuringTheDownloadsEndsWithEightAndARerunCompletes) {
    sandbox.setEnvironment("PELORIX_DOWNLOAD_STALL_SECONDS", "60");
    sandbox.setEnvironment("PELORIX_PARALLEL_DOWNLOADS", "1");
    HeldReleaseServer server(sandbox.path("release/Updater"), "Reports.exe");
    sandbox.setUpdateServer(server.base());
    auto updater = sandbox.start(unattended());
    ASSERT_TRUE(server.waitForHeldRequest(30s));

    ::kill(static_cast<pid_t>(updater->pid()), SIGTERM);
    const RunResult run = updater->wait(Sandbox::kRunLimit);
    server.release();

    EXPECT_EQ(run.exitStatus, 8);
    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                           downloadOutput(Texts::German, 8) + "Lade neue Reports ...");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) +
                           messageBox({"Das Update wurde unterbrochen.",
                                       "Führen Sie das Update erneut aus, um es abzuschließen."}));
    EXPECT_TRUE(sandbox.debugLogMessages().contains(
        "Interrupted by signal 15 during the download of Reports.exe."));
    expectOldInstallationUntouched();

    sandbox.startUpdateServer();
    expectNextRunCompletes();
}

// A signal during the replacement waits for its end: the new release is complete, the run ends
// with 8 before the final question.
TEST_F(E2eOneRun, SigtermDuringTheReplacementWaitsUntilItIsComplete) {
    auto updater = sandbox.start(unattended());
    ASSERT_TRUE(updater->waitForOutput("Installiere neue Dienste ...", Sandbox::kRunLimit));
    ::kill(static_cast<pid_t>(updater->pid()), SIGTERM);
    const RunResult run = updater->wait(Sandbox::kRunLimit);

    EXPECT_EQ(run.exitStatus, 8);
    EXPECT_TRUE(run.out.endsWith(closedLine("Registriere neue DLL's ...")))
        << run.out.toStdString();
    EXPECT_FALSE(run.err.contains(finalQuestion(Texts::German)));
    EXPECT_TRUE(
        sandbox.debugLogMessages().contains("Interrupted by signal 15 after the replacement."));
    expectNewReleaseInstalled();
}

// A kill -9 at a point of the replacement, named by the status text the run has shown.
struct KillPoint {
    const char* name;
    const char* statusText;
    bool closed;  // the line has its result word

    QString shown() const { return closed ? closedLine(statusText) : QString(statusText); }
};

class E2eKilledReplacement : public E2eOneRun, public ::testing::WithParamInterface<KillPoint> {};

// A copy cut short by the kill leaves its hidden temporary beside its target: a release file's
// temporary name (a local release folder) or a library's place (a system folder on another file
// system). The installation's expected file lists show them gone.
void leaveTemporariesOfCutCopies(const Sandbox& sandbox) {
    for (const QString& path : {sandbox.appFolder() + "/.~HVS.exe.Xa12bc.tmp",
                                sandbox.systemFolder() + "/.~TobrinDLL.dll.Q9z8y7.tmp"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write("part of a copy");
    }
}

TEST_P(E2eKilledReplacement, ThePlainNextStartRestoresTheOldReleaseAndAFullRunCompletes) {
    auto updater = sandbox.start(unattended());
    ASSERT_TRUE(updater->waitForOutput(GetParam().shown(), Sandbox::kRunLimit))
        << updater->outputSoFar().toStdString();
    ::kill(static_cast<pid_t>(updater->pid()), SIGKILL);
    updater->wait(Sandbox::kRunLimit);
    leaveTemporariesOfCutCopies(sandbox);

    // Cancelled at the confirmation: the old release is back before the button does anything.
    const RunResult plainStart = sandbox.run({"--headless"});
    EXPECT_EQ(plainStart.exitStatus, 4);
    EXPECT_EQ(plainStart.out, kRestoredLine);
    expectOldInstallationUntouched();
    EXPECT_TRUE(fileTree(sandbox.appFolder()).filter(".PelorixUpdater").isEmpty());
    EXPECT_TRUE(fileTree(sandbox.systemFolder()).filter(".PelorixUpdater").isEmpty());

    leaveTemporariesOfCutCopies(sandbox);
    expectNextRunCompletes();
}

INSTANTIATE_TEST_SUITE_P(
    Points, E2eKilledReplacement,
    ::testing::Values(KillPoint{"LibrariesUnregistered", "Entferne Registrierung für DLL's ...",
                                true},
                      KillPoint{"OldFilesBeingRemoved", "Entferne alte DLL's ...", false},
                      KillPoint{"NewServicesInPlace", "Installiere neue Dienste ...", false}),
    [](const ::testing::TestParamInfo<KillPoint>& testCase) {
        return std::string(testCase.param.name);
    });

}  // namespace
}  // namespace pelorix::e2e
