#include "files/downloader.h"
#include "files/partial_downloads.h"
#include "files/release_manifest.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "support/http_test_server.h"
#include "support/os_facts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include <chrono>

namespace pelorix::test {
namespace {

using namespace std::chrono_literals;

// The connection and the stall limit shortened so that failures come quickly.
platform::HttpLimits quickLimits(std::chrono::milliseconds limit) {
    platform::HttpLimits limits;
    limits.connectTimeout = limit;
    limits.stallTimeout = limit;
    return limits;
}

QByteArray bodyOf(qint64 length) {
    QByteArray body(length, '\0');
    for (qint64 i = 0; i < length; ++i) {
        body[i] = static_cast<char>(i * 7 + 3);
    }
    return body;
}

// Downloads from a real HTTP server on 127.0.0.1 into a scratch folder, with a short time limit.
class ServerDownload : public ::testing::Test {
  protected:
    bool download(const QString& name, qint32 minimumSize, const QString& target) {
        return downloader.DownloadFile(server.base(), name, target, minimumSize);
    }
    bool download(const QString& name, qint32 minimumSize) {
        return download(name, minimumSize, targetPath);
    }

    HttpTestServer server;
    TempDir dir;
    QString targetPath = dir.file("PXS.exe");
    files::Downloader downloader{"", dir.path(), platform::defaultFileSystem(),
                                 platform::defaultHttpClient(), quickLimits(400ms)};
};

TEST_F(ServerDownload, BodyMustBeLongerThanTheMinimumTimesThousand) {
    server.serveFile("Exact.exe", bodyOf(270'000));
    server.serveFile("OneMore.exe", bodyOf(270'001));

    EXPECT_FALSE(download("Exact.exe", 270));
    // The rejected body stays at the target path.
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(270'000));

    EXPECT_TRUE(download("OneMore.exe", 270)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(270'001));
    EXPECT_TRUE(downloader.lastFailure().isEmpty());
}

TEST_F(ServerDownload, ABodyOfExactly226BytesIsRefused) {
    server.serveFile("225", bodyOf(225));
    server.serveFile("226", bodyOf(226));
    server.serveFile("227", bodyOf(227));

    EXPECT_TRUE(download("225", 0));
    EXPECT_EQ(dir.read("PXS.exe").size(), 225);
    EXPECT_FALSE(download("226", 0));
    EXPECT_EQ(dir.read("PXS.exe").size(), 226);
    EXPECT_TRUE(download("227", 0));
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(227));
}

TEST_F(ServerDownload, EmptyBodyIsRefusedEvenWithoutMinimum) {
    server.serveFile("Empty.ini", {});
    EXPECT_FALSE(download("Empty.ini", 0));
    EXPECT_FALSE(download("Empty.ini", -1));
    EXPECT_TRUE(QFile::exists(targetPath));
}

TEST_F(ServerDownload, AddressIsBasePlusOneSlashPlusName) {
    server.serveFile("Language.ini", bodyOf(300));
    EXPECT_TRUE(download("Language.ini", 0));
    EXPECT_EQ(server.requests(), QStringList{"/Updater/Language.ini"});
}

TEST_F(ServerDownload, ErrorPagesAreFailedDownloadsAndLeaveAnEmptyFile) {
    // Error pages long enough to pass every size check.
    server.serve("/Updater/Gone.exe", bodyOf(5000), 404);
    server.serve("/Updater/Broken.exe", bodyOf(5000), 500);
    dir.write("PXS.exe", "old");

    EXPECT_FALSE(download("Gone.exe", 0));
    EXPECT_EQ(dir.read("PXS.exe"), QByteArray());
    EXPECT_TRUE(downloader.lastFailure().contains("404"));

    EXPECT_FALSE(download("Broken.exe", 0));
    EXPECT_EQ(dir.read("PXS.exe"), QByteArray());
    EXPECT_FALSE(download("NotThere.exe", 0));
}

TEST_F(ServerDownload, RedirectsAreFollowedButNotForever) {
    server.redirect("/Updater/Moved.exe", "/mirror/Moved.exe");
    server.serve("/mirror/Moved.exe", bodyOf(2000));
    server.redirect("/Updater/Loop.exe", "/Updater/Loop.exe");

    EXPECT_TRUE(download("Moved.exe", 1)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(2000));
    EXPECT_FALSE(download("Loop.exe", 0));
}

TEST_F(ServerDownload, ATransferWithoutBytesForTheLimitFails) {
    server.stallAfter("/Updater/Stalls.exe", bodyOf(50'000), 100'000);
    server.stallBeforeAnswer("/Updater/Silent.exe");

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(download("Stalls.exe", 0));
    EXPECT_TRUE(downloader.lastFailure().contains("no data received"))
        << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(50'000));  // what arrived stays
    if (!test::runningUnderWine()) {  // Wine's WinHTTP waits for a silent server's answer
        EXPECT_FALSE(download("Silent.exe", 0));
        EXPECT_EQ(dir.read("PXS.exe"), QByteArray());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
}

TEST_F(ServerDownload, ASlowButSteadyTransferIsNotCutOff) {
    // Ten pieces, 100 ms apart: a whole second, more than twice the 400 ms stall limit.
    server.trickle("/Updater/Slow.exe", bodyOf(10'000), 10, 100ms);
    EXPECT_TRUE(download("Slow.exe", 9)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(10'000));
}

TEST_F(ServerDownload, AConnectionClosedInTheMiddleOfTheBodyFails) {
    server.closeAfter("/Updater/Cut.exe", bodyOf(3000), 10'000);
    EXPECT_FALSE(download("Cut.exe", 0));
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(3000));
}

TEST_F(ServerDownload, TheFilesOfARunShareOneConnection) {
    server.serveFile("A.exe", bodyOf(2000));
    server.serveFile("B.exe", bodyOf(3000));
    server.serveFile("C.exe", bodyOf(4000));
    for (const QString name : {"A.exe", "B.exe", "C.exe"}) {
        ASSERT_TRUE(download(name, 1)) << downloader.lastFailure().toStdString();
    }
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(4000));
    EXPECT_EQ(server.connectionCount(), 1u);
}

// The server ends the kept connection after every second request, and one transfer breaks off:
// each following fetch opens a new connection by itself and succeeds.
TEST_F(ServerDownload, AConnectionTheServerClosedIsOpenedAgain) {
    server.closeConnectionsAfter(2);
    server.serveFile("A.exe", bodyOf(2000));
    server.closeAfter("/Updater/Cut.exe", bodyOf(3000), 10'000);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(download("A.exe", 1)) << round << downloader.lastFailure().toStdString();
        ASSERT_TRUE(download("A.exe", 1)) << round << downloader.lastFailure().toStdString();
    }
    EXPECT_FALSE(download("Cut.exe", 0));
    EXPECT_TRUE(download("A.exe", 1)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(2000));
    EXPECT_EQ(server.connectionCount(), 5u);
}

TEST_F(ServerDownload, AServerThatIsNotThereFails) {
    int closedPort = 0;
    {
        HttpTestServer gone;
        closedPort = gone.port();
    }
    files::Downloader toNowhere{"", dir.path(), platform::defaultFileSystem(),
                                platform::defaultHttpClient(), quickLimits(400ms)};
    EXPECT_FALSE(toNowhere.DownloadFile(
        QStringLiteral("http://127.0.0.1:%1/Updater").arg(closedPort), "PXS.exe", targetPath, 0));
    EXPECT_EQ(dir.read("PXS.exe"), QByteArray());
    EXPECT_FALSE(downloader.DownloadFile("file:///etc", "hostname", targetPath, 0));
    EXPECT_FALSE(downloader.DownloadFile("", "PXS.exe", targetPath, 0));
}

TEST_F(ServerDownload, AReadOnlyTargetStaysAsItWas) {
    server.serveFile("PelorixService.exe", bodyOf(2000));
    dir.write("PXS.exe", "old release");
    QFile::setPermissions(targetPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup);

    EXPECT_FALSE(download("PelorixService.exe", 1));
    EXPECT_EQ(dir.read("PXS.exe"), QByteArray("old release"));
}

TEST_F(ServerDownload, AMissingTargetFolderFails) {
    server.serveFile("PelorixService.exe", bodyOf(2000));
    EXPECT_FALSE(download("PelorixService.exe", 1, dir.file("missing/PXS.exe")));
    EXPECT_FALSE(QFile::exists(dir.file("missing")));
}

TEST_F(ServerDownload, AnOldTargetIsReplacedWhateverTheCaseOfItsName) {
    server.serveFile("PelorixService.exe", bodyOf(1500));
    dir.write("pxs.EXE", bodyOf(90'000));

    EXPECT_TRUE(download("PelorixService.exe", 1));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"PXS.exe"});
    EXPECT_EQ(dir.read("PXS.exe"), bodyOf(1500));
}

// A cut download is kept and noted; the next fetch of the same file continues it with a range
// request (206), and one whose kept part is longer than the file (416) is fetched whole.
TEST_F(ServerDownload, ACutDownloadIsContinuedAndARefusedContinuationFetchedWhole) {
    const QByteArray body = bodyOf(300'000);
    files::PartialDownloads partials(platform::defaultFileSystem(), dir.file("partials.txt"));
    downloader.setPartialDownloads(&partials);
    downloader.setListedSha256(files::sha256Of(body));
    server.closeAfter("/Updater/Cut.exe", body.left(120'000), body.size());

    EXPECT_FALSE(download("Cut.exe", 270));
    EXPECT_EQ(dir.read("PXS.exe"), body.left(120'000));
    EXPECT_TRUE(QFile::exists(dir.file("partials.txt")));

    server.serveFile("Cut.exe", body);
    EXPECT_TRUE(download("Cut.exe", 270)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), body);
    EXPECT_FALSE(QFile::exists(dir.file("partials.txt")));

    // Longer than the file: the server cannot continue it.
    dir.write("PXS.exe", body + "more");
    partials.remember(targetPath, {files::sha256Of(body), {}});
    EXPECT_TRUE(download("Cut.exe", 270)) << downloader.lastFailure().toStdString();
    EXPECT_EQ(dir.read("PXS.exe"), body);
    EXPECT_EQ(server.requests().size(), 4);
}

}  // namespace
}  // namespace pelorix::test
