#include "files/downloader.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "support/forwarding_file_system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace pelorix::test {
namespace {

// A file system whose copies fail, as when the disk is full.
class FailingCopies : public ForwardingFileSystem {
  public:
    platform::Outcome copyFile(const QString&, const QString&, bool) override {
        return platform::Outcome::failureFromErrno(ENOSPC);
    }
};

// Local mode: the files are copied from a folder named on the command line; no server is asked
// (the address below has no server behind it).
class LocalDownload : public ::testing::Test {
  protected:
    bool download(const QString& commandLine, const QString& name, const QString& target) {
        files::Downloader downloader(commandLine, ownFolder, files, platform::defaultHttpClient());
        const bool ok = downloader.DownloadFile("http://127.0.0.1:9/Updater", name, target, 1400);
        failure = downloader.lastFailure();
        return ok;
    }

    TempDir dir;
    QString ownFolder = dir.mkdir("updater");
    QString release = dir.mkdir("release");
    QString appPath = dir.mkdir("app");
    ForwardingFileSystem files;
    QString failure;
};

TEST_F(LocalDownload, FolderAfterTheDashIsTheSource) {
    dir.write("release/Pelorix.exe", "new main program");
    dir.write("app/PX.exe", "left over from an earlier run");

    // The minimum size of 1400 thousand bytes plays no part in local mode.
    EXPECT_TRUE(download("-" + release, "Pelorix.exe", appPath + "/PX.exe"))
        << failure.toStdString();
    EXPECT_EQ(dir.read("app/PX.exe"), QByteArray("new main program"));
    // Copied: the folder keeps the release until the update has completed.
    EXPECT_EQ(dir.read("release/Pelorix.exe"), QByteArray("new main program"));
}

TEST_F(LocalDownload, LocalAnywhereAfterTheDashMeansTheUpdatersOwnFolder) {
    dir.write("updater/Reports.exe", "reports");
    dir.write("updater/Sorvand.exe", "sorvand");

    EXPECT_TRUE(download("-local", "Reports.exe", appPath + "/RP.exe"));
    EXPECT_EQ(dir.read("app/RP.exe"), QByteArray("reports"));
    EXPECT_TRUE(QFile::exists(ownFolder + "/Reports.exe"));

    EXPECT_TRUE(download("-/media/stick/mylocalcopy", "Sorvand.exe", appPath + "/SVD.exe"));
    EXPECT_EQ(dir.read("app/SVD.exe"), QByteArray("sorvand"));
}

TEST_F(LocalDownload, TheSearchForLocalMindsTheCase) {
    dir.write("work/LOCAL/PXAS.exe", "pxas");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.file("work")));

    const bool ok = download("-LOCAL", "PXAS.exe", appPath + "/AS.exe");
    QDir::setCurrent(previous);

    EXPECT_TRUE(ok) << failure.toStdString();
    EXPECT_EQ(dir.read("app/AS.exe"), QByteArray("pxas"));
    EXPECT_TRUE(QFile::exists(dir.file("work/LOCAL/PXAS.exe")));
}

TEST_F(LocalDownload, DashAloneLooksInTheRootFolder) {
    const QString name = "PelorixLocalDownloadTest-" + QFileInfo(dir.path()).fileName() + ".exe";
    EXPECT_FALSE(download("-", name, appPath + "/PX.exe"));
    EXPECT_TRUE(files.calls.contains("normalFileExists /" + name))
        << files.calls.join("\n").toStdString();
}

TEST_F(LocalDownload, AMissingSourceLeavesTheTargetAlone) {
    dir.write("app/PXS.exe", "earlier download");
    dir.write("release/.PelorixService.exe", "hidden files do not count");

    EXPECT_FALSE(download("-" + release, "PelorixService.exe", appPath + "/PXS.exe"));
    EXPECT_FALSE(download("-" + release, ".PelorixService.exe", appPath + "/PXS.exe"));
    EXPECT_EQ(dir.read("app/PXS.exe"), QByteArray("earlier download"));
}

TEST_F(LocalDownload, ATargetThatCannotBeDeletedIsAFailedDownload) {
    dir.write("release/HavrelService.exe", "new service");
    const QString target = dir.write("app/HVS.exe", "read-only leftover");
    QFile::setPermissions(target, QFileDevice::ReadOwner);

    EXPECT_FALSE(download("-" + release, "HavrelService.exe", target));
    EXPECT_EQ(dir.read("app/HVS.exe"), QByteArray("read-only leftover"));
    EXPECT_EQ(dir.read("release/HavrelService.exe"), QByteArray("new service"));
}

TEST_F(LocalDownload, AFailedCopyIsAFailedDownload) {
    dir.write("release/Quennel.dll", "library");

    EXPECT_FALSE(download("-" + release, "Quennel.dll", appPath + "/missing/QNLDLL.dll"));
    EXPECT_EQ(dir.read("release/Quennel.dll"), QByteArray("library"));

    FailingCopies failingCopies;
    files::Downloader downloader("-" + release, ownFolder, failingCopies,
                                 platform::defaultHttpClient());
    EXPECT_FALSE(downloader.DownloadFile("", "Quennel.dll", appPath + "/QNLDLL.dll", 0));
    EXPECT_FALSE(downloader.lastFailure().isEmpty());
}

TEST_F(LocalDownload, ASourceThatIsTheTargetStaysInPlace) {
    // The library keeps its name as temporary file; a release copied into the program folder
    // must not lose it.
    dir.write("app/braskDLL.dll", "the only copy");
    EXPECT_TRUE(download("-" + appPath, "braskDLL.dll", appPath + "/braskDLL.dll"));
    EXPECT_EQ(dir.read("app/braskDLL.dll"), QByteArray("the only copy"));
}

TEST_F(LocalDownload, TheCommandLineMustStartWithTheDash) {
    dir.write("release/Pelorix.exe", "new main program");
    // Server mode: the address has no server behind it.
    EXPECT_FALSE(download(" -" + release, "Pelorix.exe", appPath + "/PX.exe"));
    EXPECT_FALSE(download("local", "Pelorix.exe", appPath + "/PX.exe"));
    EXPECT_TRUE(QFile::exists(release + "/Pelorix.exe"));
}

}  // namespace
}  // namespace pelorix::test
