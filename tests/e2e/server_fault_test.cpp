// The update server misbehaves: each download fault ends the run with the download message and
// status 7 before any installed file changes; the next run with a sound server completes.

#include "e2e_fixture.h"
#include "old_installation.h"

#include <QFile>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

class E2eServerFault : public EndToEnd {
  protected:
    // The run stopped at download step `failedStep` (0 to 15), whose line stays open.
    void expectDownloadFailure(const RunResult& run, int failedStep) {
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.out,
                  shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                      downloadOutput(Texts::German, failedStep) + downloadSteps().at(failedStep));
        EXPECT_EQ(run.err,
                  confirmationMessage(Texts::German) + downloadErrorMessage(Texts::German));
        EXPECT_EQ(run.exitStatus, 7);
        expectOldInstallationUntouched();
        EXPECT_EQ(sandbox.debugLogMessages().last().left(12), "Download of ");
    }

    void writeReleaseFile(const QString& name, const QByteArray& content) {
        QFile file(sandbox.releaseFile(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // The administrator fixes the server; the update then completes.
    void expectSecondRunCompletes() {
        sandbox.startUpdateServer();
        expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    }
};

TEST_F(E2eServerFault, AMissingFileEndsTheRunAtItsStep) {
    QFile::remove(sandbox.releaseFile("PelorixService.exe"));

    expectDownloadFailure(sandbox.run(unattended()), 0);

    writeReleaseFile("PelorixService.exe", release.value("PelorixService.exe"));
    expectSecondRunCompletes();
}

TEST_F(E2eServerFault, AnErrorStatusIsAFailedDownload) {
    sandbox.startUpdateServer({"--status", "Language.ini:500"});

    expectDownloadFailure(sandbox.run(unattended()), 15);

    expectSecondRunCompletes();
}

TEST_F(E2eServerFault, ABodyOf226BytesIsRejected) {
    writeReleaseFile("HavrelService.exe", QByteArray(226, 'x'));

    expectDownloadFailure(sandbox.run(unattended()), 1);
    EXPECT_EQ(QFile(sandbox.appFolder() + "/HVS.exe").size(), 226) << "the body stays on disk";

    writeReleaseFile("HavrelService.exe", release.value("HavrelService.exe"));
    expectSecondRunCompletes();
}

// The body must be longer than the minimum size: 1,400,000 bytes fail, 1,400,001 pass.
TEST_F(E2eServerFault, ABodyOfExactlyTheMinimumSizeIsOneByteShort) {
    writeReleaseFile("Pelorix.exe", QByteArray(1'400'000, 'p'));

    expectDownloadFailure(sandbox.run(unattended()), 3);

    release["Pelorix.exe"] = QByteArray(1'400'001, 'p');
    writeReleaseFile("Pelorix.exe", release.value("Pelorix.exe"));
    expectSecondRunCompletes();
}

TEST_F(E2eServerFault, AConnectionResetInTheMiddleOfABodyFails) {
    sandbox.startUpdateServer({"--close", "PXHilfe.chm:700000"});

    expectDownloadFailure(sandbox.run(unattended()), 13);

    expectSecondRunCompletes();
}

TEST_F(E2eServerFault, NoServerAtTheAddressFails) {
    sandbox.setUpdateServer("http://127.0.0.1:1/Updater");  // port 1: refused at once

    expectDownloadFailure(sandbox.run(unattended()), 0);

    expectSecondRunCompletes();
}

// With the stall limit shortened to one second.
TEST_F(E2eServerFault, AStalledTransferFailsAfterTheStallLimit) {
    sandbox.startUpdateServer({"--stall", "Sorvand.exe:1000"});

    const RunResult run = sandbox.run(unattended());

    expectDownloadFailure(run, 10);
    EXPECT_LT(run.elapsed, 9s) << "the shortened stall limit was not used";
    expectSecondRunCompletes();
}

// The one run with the real limit: no byte for ten seconds.
TEST_F(E2eServerFault, AStalledTransferFailsAfterTenSecondsWithoutAByte) {
    sandbox.setEnvironment("PELORIX_DOWNLOAD_STALL_SECONDS", "");
    sandbox.startUpdateServer({"--stall", "PelorixService.exe:1000"});

    const RunResult run = sandbox.run(unattended());

    expectDownloadFailure(run, 0);
    EXPECT_GE(run.elapsed, 10s);
    EXPECT_LT(run.elapsed, 20s);
    expectSecondRunCompletes();
}

// The stall limit restarts with every byte; a trickle meets the limit of one download's time
// (shortened here through the environment).
TEST_F(E2eServerFault, ATrickleIsCutOffAtTheTimeLimitOfOneDownload) {
    sandbox.setEnvironment("PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS", "2");
    sandbox.startUpdateServer({"--trickle", "Sorvand.exe:200"});

    const RunResult run = sandbox.run(unattended());

    expectDownloadFailure(run, 10);
    EXPECT_LT(run.elapsed, 20s);
    EXPECT_TRUE(
        sandbox.debugLogMessages().last().endsWith("not complete after 2 s, the limit "
                                                   "of one download"));
    expectSecondRunCompletes();
}

// A body that never ends stops at the size limit of one download instead of filling the disk.
TEST_F(E2eServerFault, AnEndlessBodyIsCutOffAtTheSizeLimitOfOneDownload) {
    sandbox.setEnvironment("PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", "3000000");
    sandbox.startUpdateServer({"--endless", "PXHilfe.chm:1000"});

    expectDownloadFailure(sandbox.run(unattended()), 13);
    EXPECT_GT(QFile(sandbox.appFolder() + "/PXHilfe.tmp").size(), 1000);
    EXPECT_LE(QFile(sandbox.appFolder() + "/PXHilfe.tmp").size(), 3'000'000);
    EXPECT_TRUE(
        sandbox.debugLogMessages().last().endsWith("longer than 3000000 bytes, the "
                                                   "limit of one download"));
    expectSecondRunCompletes();
}

}  // namespace
}  // namespace pelorix::e2e
