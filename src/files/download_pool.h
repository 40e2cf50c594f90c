#pragma once

#include "platform/http_client.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pelorix::platform {
class FileSystem;
}  // namespace pelorix::platform

namespace pelorix::files {

class PartialDownloads;

// One file of a release for the pool; a job without a file name is left to its owner.
struct DownloadJob {
    QString fileName;
    QString targetPath;
    qint32 minimumSize = 0;
    QByteArray listedSha256{};  // of the checksum list; empty without one
};

// What became of a job: as Downloader::DownloadFile answers, with its reason.
struct DownloadOutcome {
    bool ok = false;
    QString failure;
};

// Fetches the files of a list from the update server on up to `connections` connections at
// once, each a thread with a client of its own that keeps its connection from file to file. A
// connection takes the next job of the list not yet taken; after a failed job no later one is
// started. The owner collects the outcomes in the order of the list.
class DownloadPool {
  public:
    using ClientFactory = std::function<std::unique_ptr<platform::HttpClient>()>;

    // Cut-off downloads are kept and continued through `partials` (none: every fetch whole).
    DownloadPool(QString baseAddress, platform::FileSystem& files, ClientFactory clients,
                 platform::HttpLimits limits, int connections,
                 PartialDownloads* partials = nullptr);
    // Ends what still runs (see cancelAfter) and waits for the threads.
    ~DownloadPool();
    DownloadPool(const DownloadPool&) = delete;
    DownloadPool& operator=(const DownloadPool&) = delete;

    void start(std::vector<DownloadJob> jobs);
    // Waits until the job has ended.
    DownloadOutcome waitFor(std::size_t index);
    // Ends every transfer still running and waits for the threads; what the jobs after `index`
    // wrote is deleted, as if they had never started.
    void cancelAfter(std::size_t index);

  private:
    void work();
    // The next job to start, or none; under the lock.
    std::optional<std::size_t> takeJob();
    void finish(std::size_t index, DownloadOutcome outcome);
    void stopThreads();

    QString baseAddress_;
    platform::FileSystem& files_;
    ClientFactory clients_;
    platform::HttpLimits limits_;
    int connections_;
    PartialDownloads* partials_;
    std::vector<DownloadJob> jobs_;
    std::vector<bool> started_;
    std::vector<bool> ended_;
    std::vector<DownloadOutcome> outcomes_;
    std::size_t next_ = 0;
    std::size_t firstFailure_ = SIZE_MAX;
    bool cancelled_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
};

}  // namespace pelorix::files
