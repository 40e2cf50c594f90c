// Local mode: the release comes from a folder named on the command line, or from the updater's
// own folder, instead of the update server (which is not reachable in these tests).

#include "e2e_fixture.h"
#include "old_installation.h"

#include <QDir>
#include <QFile>

namespace pelorix::e2e {
namespace {

class E2eLocalMode : public EndToEnd {
  protected:
    void SetUp() override {
        EndToEnd::SetUp();
        sandbox.setUpdateServer("http://127.0.0.1:1/Updater");  // nothing answers there
    }
    void copyReleaseTo(const QString& folder) {
        ASSERT_TRUE(QDir().mkpath(folder));
        for (auto file = release.cbegin(); file != release.cend(); ++file) {
            QFile copy(folder + "/" + file.key());
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            copy.write(file.value());
        }
    }
};

TEST_F(E2eLocalMode, TakesTheReleaseFromTheFolderOnTheCommandLine) {
    const QString offline = sandbox.path("offline release");
    copyReleaseTo(offline);

    const RunResult run = sandbox.run(unattended({"--", "-" + offline}));

    expectCompleteUpdate(run, Texts::German, 1, 15, 1);
    EXPECT_EQ(fileTree(offline), QStringList{}) << "the release leaves the folder once complete";
}

TEST_F(E2eLocalMode, LocalTakesTheReleaseFromTheUpdatersOwnFolder) {
    copyReleaseTo(sandbox.updaterFolder());

    const RunResult run = sandbox.run(unattended({"-local"}));

    expectCompleteUpdate(run, Texts::German, 1, 15, 1);
    EXPECT_EQ(fileTree(sandbox.updaterFolder()),
              (QStringList{"PelorixUpdater", "PelorixUpdater_DebugLog.txt", "regsvr32"}));
}

// A file missing from the folder is a failed download; the files copied so far wait under their
// temporary names, and once the missing file is there the same command installs everything.
TEST_F(E2eLocalMode, AFileMissingFromTheFolderIsAFailedDownload) {
    const QString offline = sandbox.path("offline");
    copyReleaseTo(offline);
    QFile::remove(offline + "/Reports.exe");

    const RunResult run = sandbox.run(unattended({"-" + offline}));

    EXPECT_EQ(run.out, shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                           downloadOutput(Texts::German, 8) + "Lade neue Reports ...");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + downloadErrorMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 7);
    expectOldInstallationUntouched();
    EXPECT_EQ(readFile(sandbox.appFolder() + "/PX.exe"), release.value("Pelorix.exe"));

    QFile copy(offline + "/Reports.exe");
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(release.value("Reports.exe"));
    copy.close();
    expectCompleteUpdate(sandbox.run(unattended({"-" + offline})), Texts::German, 0, 0, 0);
    EXPECT_EQ(fileTree(offline), QStringList{});
}

// A replacement that fails is rolled back and the folder keeps the release: the same command
// completes the update once the cause is gone.
TEST_F(E2eLocalMode, AFailedReplacementCanBeRepeatedWithTheSameCommand) {
    const QString offline = sandbox.path("offline");
    copyReleaseTo(offline);
    const QString oldMain = sandbox.appFolder() + "/Pelorix.exe";
    ASSERT_TRUE(QFile::setPermissions(oldMain, QFile::ReadOwner));

    const RunResult run = sandbox.run(unattended({"-" + offline}));

    EXPECT_EQ(run.exitStatus, 1);
    expectOldInstallationUntouched();
    EXPECT_TRUE(fileContents(offline) == release) << "the folder lost a release file";

    ASSERT_TRUE(QFile::setPermissions(oldMain, QFile::ReadOwner | QFile::WriteOwner));
    expectCompleteUpdate(sandbox.run(unattended({"-" + offline})), Texts::German, 0, 0, 0);
    EXPECT_EQ(fileTree(offline), QStringList{});
}

}  // namespace
}  // namespace pelorix::e2e
