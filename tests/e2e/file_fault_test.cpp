// Files that will not go, a system folder on another file system and a main program that runs
// under another name: each case ends as it should, and the next run completes the update.

#include "e2e_fixture.h"
#include "message_gate.h"
#include "old_installation.h"
#include "support/expected_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sys/stat.h>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

bool makeReadOnly(const QString& path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

bool makeWritable(const QString& path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class E2eFileFault : public EndToEnd {
  protected:
    QString app(const QString& name) const { return sandbox.appFolder() + "/" + name; }
    void expectSecondRunCompletes() {
        expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    }
};

TEST_F(E2eFileFault, AReadOnlyDownloadTargetFailsTheDownloadAndStays) {
    QFile::copy(app("Pelorix.exe"), app("PXS.exe"));
    ASSERT_TRUE(makeReadOnly(app("PXS.exe")));

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                           "Lade neuen PX-Dienst ...");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + downloadErrorMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 7);
    EXPECT_EQ(readFile(app("PXS.exe")), oldContent("Pelorix.exe"));
    expectOldInstallationUntouched();

    ASSERT_TRUE(makeWritable(app("PXS.exe")));
    expectSecondRunCompletes();
}

TEST_F(E2eFileFault, AReadOnlyOldMainProgramTakesTheGeneralFailureExit) {
    ASSERT_TRUE(makeReadOnly(app("Pelorix.exe")));

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, stoppedInReplacement("Entferne alten Pelorix ..."));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    expectOldInstallationUntouched();  // the removed libraries are back and registered again
    EXPECT_EQ(readFile(app("PX.exe")), release.value("Pelorix.exe")) << "downloaded, not moved";

    ASSERT_TRUE(makeWritable(app("Pelorix.exe")));
    expectSecondRunCompletes();
}

// Twice undeletable: the retry message once, then the general failure exit; the rows after
// the file are not touched.
TEST_F(E2eFileFault, AServiceFileUndeletableTwiceEndsAfterOneRetry) {
    ASSERT_TRUE(makeReadOnly(app("PelorixHelper.exe")));

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, stoppedInReplacement("Entferne alte Dienste ..."));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + retryMessage(Texts::German) +
                           generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    expectOldInstallationUntouched();  // the services removed before it are back

    ASSERT_TRUE(makeWritable(app("PelorixHelper.exe")));
    expectSecondRunCompletes();
}

// Undeletable once: while the retry message waits (the updater blocks writing it), the file
// becomes deletable, as when the user closes the service's window before pressing OK.
TEST_F(E2eFileFault, AServiceFileUndeletableOnceIsRetriedAndTheRunCompletes) {
    ASSERT_TRUE(makeReadOnly(app("PelorixHelper.exe")));
    MessageGate gate(sandbox.path("stderr.fifo"),
                     confirmationMessage(Texts::German).toUtf8().size());

    auto updater = sandbox.start(unattended(), gate.path());
    ASSERT_TRUE(gate.waitUntilBlocked(updater->pid(), 30s)) << updater->outputSoFar().toStdString();
    EXPECT_TRUE(updater->outputSoFar().endsWith("Entferne alte Dienste ..."));
    ASSERT_TRUE(makeWritable(app("PelorixHelper.exe")));
    gate.open();
    RunResult run = updater->wait(Sandbox::kRunLimit);
    run.err = gate.messages();

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.out, fullRunOutput(Texts::German));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + retryMessage(Texts::German) +
                           finalQuestion(Texts::German));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
}

// One retry for the whole step: a second file that fails after a successful retry ends the
// run without a second retry message.
TEST_F(E2eFileFault, ASecondUndeletableServiceFileAfterARetryEndsTheRun) {
    ASSERT_TRUE(makeReadOnly(app("PelorixHelper.exe")));
    ASSERT_TRUE(makeReadOnly(app("Sorvand.exe")));
    MessageGate gate(sandbox.path("stderr.fifo"),
                     confirmationMessage(Texts::German).toUtf8().size());

    auto updater = sandbox.start(unattended(), gate.path());
    ASSERT_TRUE(gate.waitUntilBlocked(updater->pid(), 30s));
    ASSERT_TRUE(makeWritable(app("PelorixHelper.exe")));
    gate.open();
    RunResult run = updater->wait(Sandbox::kRunLimit);
    run.err = gate.messages();

    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + retryMessage(Texts::German) +
                           generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    expectOldInstallationUntouched();

    ASSERT_TRUE(makeWritable(app("Sorvand.exe")));
    expectSecondRunCompletes();
}

// The last new file cannot be moved in (it vanished during the run): everything is rolled back,
// the old release is complete and registered, and the next run completes.
TEST_F(E2eFileFault, ANewFileThatCannotBeMovedInRollsTheReplacementBack) {
    auto updater = sandbox.start(unattended());
    const auto deadline = std::chrono::steady_clock::now() + Sandbox::kRunLimit;
    while (!updater->outputSoFar().contains("Entferne Registrierung") && updater->isRunning() &&
           std::chrono::steady_clock::now() < deadline) {
        QThread::msleep(5);
    }
    ASSERT_TRUE(QFile::remove(app("PXHelp.tmp")));
    const RunResult run = updater->wait(Sandbox::kRunLimit);

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.out.endsWith(closedLine("Installiere neue Dienste ...") +
                                 "Installiere neue Dokumentationen ..."));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
    expectOldInstallationUntouched();
    EXPECT_TRUE(sandbox.debugLogMessages().contains("The previous release has been restored."));

    expectSecondRunCompletes();
}

// The libraries move from the program folder across file systems (copy, then delete).
TEST_F(E2eFileFault, ASystemFolderOnAnotherFileSystemGetsTheNewLibraries) {
    sandbox.moveSystemFolderTo("/dev/shm");
    oldSystemFolder = fileContents(sandbox.systemFolder());
    struct stat appFolder {};
    struct stat systemFolder {};
    ASSERT_EQ(::stat(QFile::encodeName(sandbox.appFolder()).constData(), &appFolder), 0);
    ASSERT_EQ(::stat(QFile::encodeName(sandbox.systemFolder()).constData(), &systemFolder), 0);
    if (appFolder.st_dev == systemFolder.st_dev) {
        GTEST_SKIP() << "/dev/shm is on the same file system as " << sandbox.root().toStdString();
    }

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    expectSecondRunCompletes();
}

// Any process whose name ends in Pelorix.exe, in any case, counts as the main program.
TEST_F(E2eFileFault, AMainProgramRunningUnderAnotherNameStopsTheUpdate) {
    const QString program = sandbox.path("elsewhere/OldPELORIX.exe");
    ASSERT_TRUE(QDir().mkpath(sandbox.path("elsewhere")));
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    ASSERT_TRUE(makeWritable(program));
    sandbox.keepOtherRunsAway();
    BackgroundProcess& mainProgram = sandbox.startBackground(program, {"60"});
    ASSERT_TRUE(mainProgram.isRunning());

    const RunResult run = sandbox.run(unattended());
    mainProgram.stop();
    sandbox.otherRunsMayGoOn();

    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, mainProgramRunningMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 3);
    expectOldInstallationUntouched();
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

}  // namespace
}  // namespace pelorix::e2e
