#include "files/download_pool.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "support/http_test_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QFile>

namespace pelorix::test {
namespace {

constexpr int kFiles = 8;

QByteArray bodyOf(int file) {
    return QByteArray(20'000 + file * 1000, static_cast<char>('a' + file));
}

class PoolDownload : public ::testing::TestWithParam<int> {
  protected:
    PoolDownload() {
        server.closeConnectionsAfter(100);  // every connection kept for the whole test
        for (int file = 0; file < kFiles; ++file) {
            server.serveFile(QString("F%1.exe").arg(file), bodyOf(file));
            jobs.push_back(
                {QString("F%1.exe").arg(file), dir.file(QString("F%1.tmp").arg(file)), 10});
        }
    }
    HttpTestServer server;
    TempDir dir;
    std::vector<files::DownloadJob> jobs;
};

TEST_P(PoolDownload, FetchesEveryFileOnAtMostItsConnections) {
    files::DownloadPool downloads(server.base(), platform::defaultFileSystem(),
                                  platform::newHttpClient, {}, GetParam());
    jobs[2] = {};  // left to the owner: never asked for
    downloads.start(jobs);
    for (int file = 0; file < kFiles; ++file) {
        if (file == 2) {
            continue;
        }
        const files::DownloadOutcome outcome = downloads.waitFor(file);
        EXPECT_TRUE(outcome.ok) << outcome.failure.toStdString();
        EXPECT_EQ(dir.read(QString("F%1.tmp").arg(file)), bodyOf(file));
    }
    EXPECT_FALSE(server.requests().contains("/Updater/F2.exe"));
    EXPECT_LE(server.connectionCount(), static_cast<size_t>(GetParam()));
}

// A failed file ends the pool's work: nothing after it is started, and what was fetched after
// it goes; the files before it stay.
TEST_P(PoolDownload, AfterAFailedFileNothingLaterIsKept) {
    server.serve("/Updater/F3.exe", "missing", 404);
    files::DownloadPool downloads(server.base(), platform::defaultFileSystem(),
                                  platform::newHttpClient, {}, GetParam());
    downloads.start(jobs);
    for (int file = 0; file < 3; ++file) {
        EXPECT_TRUE(downloads.waitFor(file).ok);
    }
    const files::DownloadOutcome failed = downloads.waitFor(3);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.failure.contains("HTTP status 404")) << failed.failure.toStdString();
    downloads.cancelAfter(3);
    for (int file = 0; file < kFiles; ++file) {
        EXPECT_EQ(QFile::exists(dir.file(QString("F%1.tmp").arg(file))), file <= 3) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Connections, PoolDownload, ::testing::Values(1, 4));

}  // namespace
}  // namespace pelorix::test
