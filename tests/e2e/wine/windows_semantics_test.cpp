// The promises that rest on Windows' own file semantics, kept by the Windows program under Wine
// on the real Win32 file API: one run per installation, a kill during the replacement, a file
// made read-only through its attribute, a program file in use, a tampered signed release and a
// library its registrar refuses. Each case ends as the Linux program's does, and the installation
// is either the old release or the new one, complete.

#include "background_process.h"
#include "build_paths.h"
#include "e2e_fixture.h"
#include "old_installation.h"
#include "support/expected_texts.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <functional>
#include <ostream>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

class E2eWindows;

struct WindowsCase {
    const char* name;
    std::function<void(E2eWindows&)> check;
};

void PrintTo(const WindowsCase& windowsCase, std::ostream* out) {
    *out << windowsCase.name;
}

class E2eWindows : public EndToEnd, public ::testing::WithParamInterface<WindowsCase> {
  public:
    using EndToEnd::expectCompleteUpdate;
    using EndToEnd::expectOldInstallationUntouched;
    using EndToEnd::expectOneUpdatedAndTheOtherEndedWithNine;
    using EndToEnd::oldAppFolder;
    using EndToEnd::sandbox;
    using EndToEnd::unattended;

    QString app(const QString& name) const { return sandbox.appFolder() + "/" + name; }

    // A Windows program of the machine (attrib, ...) under the sandbox's Wine, to its end.
    void runWindowsProgram(const QStringList& commandLine) {
        QProcess wine;
        wine.setProcessEnvironment(sandbox.environment());
        wine.setProcessChannelMode(QProcess::MergedChannels);
        wine.start("bash", QStringList{sourceFile("scripts/wine-run")} + commandLine);
        ASSERT_TRUE(wine.waitForFinished(60000) && wine.exitCode() == 0)
            << commandLine.join(' ').toStdString() << ": " << wine.readAll().toStdString();
    }
    void setReadOnly(const QString& path, bool readOnly) {
        runWindowsProgram({"attrib", readOnly ? "+r" : "-r", WineHost::windowsPath(path)});
    }
    void expectGeneralFailureWithTheOldReleaseKept(const RunResult& run) {
        EXPECT_EQ(run.exitStatus, 1) << run.out.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.err,
                  confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
        expectOldInstallationUntouched();
    }
    void expectNextRunCompletes() {
        expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    }
};

void twoRunsAtOnce(E2eWindows& test) {
    auto first = test.sandbox.start(test.unattended());
    auto second = test.sandbox.start(test.unattended());
    const RunResult a = first->wait(Sandbox::kRunLimit);
    const RunResult b = second->wait(Sandbox::kRunLimit);
    test.expectOneUpdatedAndTheOtherEndedWithNine(a, b);
}

// Killed while the old libraries go: the plain next start puts the old release back, complete
// and registered, before it asks anything; then an update completes.
void killedDuringTheReplacement(E2eWindows& test) {
    auto updater = test.sandbox.start(test.unattended());
    ASSERT_TRUE(updater->waitForOutput("Entferne alte DLL's ...", Sandbox::kRunLimit))
        << updater->outputSoFar().toStdString();
    ::kill(static_cast<pid_t>(updater->pid()), SIGKILL);
    updater->wait(Sandbox::kRunLimit);

    const RunResult plainStart = test.sandbox.run({"--headless"});
    EXPECT_EQ(plainStart.exitStatus, 4);
    EXPECT_EQ(plainStart.out,
              "Die vorherige Version wurde nach einem abgebrochenen Update wiederhergestellt.\n");
    test.expectOldInstallationUntouched();
    EXPECT_TRUE(fileTree(test.sandbox.appFolder()).filter(".PelorixUpdater").isEmpty());
    test.expectNextRunCompletes();
}

// Windows refuses to delete a file whose read-only attribute is set: the old main program
// stays, the libraries already removed come back.
void readOnlyOldMainProgram(E2eWindows& test) {
    test.setReadOnly(test.app("Pelorix.exe"), true);
    const RunResult run = test.sandbox.run(test.unattended());
    EXPECT_EQ(run.out, stoppedInReplacement("Entferne alten Pelorix ..."));
    test.expectGeneralFailureWithTheOldReleaseKept(run);
    test.setReadOnly(test.app("Pelorix.exe"), false);
    test.expectNextRunCompletes();
}

// A program of the release that runs (`--wait`), or also holds its own file open against
// writing and deletion (`--hold`): the replacement fails cleanly and is rolled back, nothing of
// it left behind; once the program has ended, the update completes.
void programFileInUse(E2eWindows& test, const QString& mode) {
    ASSERT_TRUE(QFile::remove(test.app("Reports.exe")));
    ASSERT_TRUE(QFile::copy(test.sandbox.wine()->demoProgram(), test.app("Reports.exe")));
    test.oldAppFolder = fileContents(test.sandbox.appFolder());
    {
        BackgroundProcess holder(
            "bash",
            {sourceFile("scripts/wine-run"), WineHost::windowsPath(test.app("Reports.exe")), mode},
            test.sandbox.environment());
        ASSERT_TRUE(holder.waitForLine("running", 60s).has_value())
            << holder.output().toStdString();
        const RunResult run = test.sandbox.run(test.unattended());
        test.expectGeneralFailureWithTheOldReleaseKept(run);
    }
    test.expectNextRunCompletes();
}

// With the release key trusted, a release file changed after signing is refused before any
// installed file changes.
void tamperedSignedRelease(E2eWindows& test) {
    ASSERT_TRUE(QFile::copy(test.sandbox.path("release/key/PelorixUpdater.pub"),
                            test.sandbox.updaterFolder() + "/PelorixUpdater.pub"));
    QFile file(test.sandbox.releaseFile("Reports.exe"));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\necho owned\n");
    file.close();
    const RunResult run = test.sandbox.run(test.unattended());
    EXPECT_EQ(run.exitStatus, 7);
    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                           downloadOutput(Texts::German, 8) + downloadSteps().at(8));
    EXPECT_TRUE(run.err.contains("the SHA-256 of Reports.exe is")) << run.err.toStdString();
    test.expectOldInstallationUntouched();
}

// Wine's regsvr32 fails on a library that is none: the failure is logged with its status, the
// run takes the general failure exit and the old release is back, registered.
void libraryTheRegistrarRefuses(E2eWindows& test) {
    QFile file(test.sandbox.releaseFile("Quennel.dll"));
    const qint64 size = file.size();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(size, 'x'));
    file.close();
    const RunResult run = test.sandbox.run(test.unattended());
    test.expectGeneralFailureWithTheOldReleaseKept(run);
    const QStringList log = test.sandbox.debugLogMessages();
    EXPECT_TRUE(
        log.filter(QRegularExpression("^Error registering .*Quennel\\.dll: exit status [1-9]"))
            .size() == 1)
        << log.join('\n').toStdString();
}

TEST_P(E2eWindows, KeepsItsPromise) {
    ASSERT_NE(sandbox.wine(), nullptr) << "set PELORIX_E2E_WINDOWS_BUILD";
    GetParam().check(*this);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, E2eWindows,
    ::testing::Values(WindowsCase{"TwoRunsAtOnce", twoRunsAtOnce},
                      WindowsCase{"KilledDuringTheReplacement", killedDuringTheReplacement},
                      WindowsCase{"ReadOnlyOldMainProgram", readOnlyOldMainProgram},
                      WindowsCase{"ProgramRunning",
                                  [](E2eWindows& test) { programFileInUse(test, "--wait"); }},
                      WindowsCase{"ProgramFileHeldOpen",
                                  [](E2eWindows& test) { programFileInUse(test, "--hold"); }},
                      WindowsCase{"TamperedSignedRelease", tamperedSignedRelease},
                      WindowsCase{"LibraryTheRegistrarRefuses", libraryTheRegistrarRefuses}),
    [](const ::testing::TestParamInfo<WindowsCase>& testCase) {
        return std::string(testCase.param.name);
    });

}  // namespace
}  // namespace pelorix::e2e
