#include "files/download_pool.h"

#include "files/downloader.h"
#include "files/partial_downloads.h"
#include "platform/file_system.h"

#include <algorithm>
#include <utility>

namespace pelorix::files {

DownloadPool::DownloadPool(QString baseAddress, platform::FileSystem& files, ClientFactory clients,
                           platform::HttpLimits limits, int connections, PartialDownloads* partials)
    : baseAddress_(std::move(baseAddress)),
      files_(files),
      clients_(std::move(clients)),
      limits_(std::move(limits)),
      connections_(std::max(connections, 1)),
      partials_(partials) {
    // A transfer ends as soon as the pool is cancelled, as well as when its owner asks.
    const std::function<bool()> outer = limits_.abortRequested;
    limits_.abortRequested = [this, outer] {
        {
            const std::lock_guard lock(mutex_);
            if (cancelled_) {
                return true;
            }
        }
        return outer && outer();
    };
}

DownloadPool::~DownloadPool() {
    stopThreads();
}

void DownloadPool::start(std::vector<DownloadJob> jobs) {
    jobs_ = std::move(jobs);
    started_.assign(jobs_.size(), false);
    ended_.assign(jobs_.size(), false);
    outcomes_.assign(jobs_.size(), {});
    const auto wanted = std::count_if(
        jobs_.begin(), jobs_.end(), [](const DownloadJob& job) { return !job.fileName.isEmpty(); });
    const auto threads = std::min<std::ptrdiff_t>(connections_, wanted);
    for (std::ptrdiff_t i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

void DownloadPool::work() {
    const std::unique_ptr<platform::HttpClient> client = clients_();
    std::optional<Downloader> downloader;
    if (client) {
        downloader.emplace(QString(), QString(), files_, *client, limits_);
        downloader->setPartialDownloads(partials_);
    }
    while (const std::optional<std::size_t> index = takeJob()) {
        const DownloadJob& job = jobs_[*index];
        if (!downloader) {
            finish(*index, {false, QStringLiteral("no HTTP client for a further connection")});
            continue;
        }
        downloader->setListedSha256(job.listedSha256);
        const bool ok =
            downloader->DownloadFile(baseAddress_, job.fileName, job.targetPath, job.minimumSize);
        finish(*index, {ok, downloader->lastFailure()});
    }
}

std::optional<std::size_t> DownloadPool::takeJob() {
    const std::lock_guard lock(mutex_);
    while (next_ < jobs_.size() && jobs_[next_].fileName.isEmpty()) {
        ++next_;
    }
    if (cancelled_ || next_ >= jobs_.size() || next_ > firstFailure_) {
        return std::nullopt;
    }
    started_[next_] = true;
    return next_++;
}

void DownloadPool::finish(std::size_t index, DownloadOutcome outcome) {
    {
        const std::lock_guard lock(mutex_);
        if (!outcome.ok) {
            firstFailure_ = std::min(firstFailure_, index);
        }
        outcomes_[index] = std::move(outcome);
        ended_[index] = true;
    }
    changed_.notify_all();
}

DownloadOutcome DownloadPool::waitFor(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ended_[index] || (cancelled_ && !started_[index]); });
    if (!ended_[index]) {
        return {false, QStringLiteral("the download was cancelled")};
    }
    return outcomes_[index];
}

void DownloadPool::cancelAfter(std::size_t index) {
    stopThreads();
    for (std::size_t later = index + 1; later < jobs_.size(); ++later) {
        const QString& target = jobs_[later].targetPath;
        if (!started_[later]) {
            continue;
        }
        if (partials_ != nullptr) {
            partials_->forget(target);
        }
        if (files_.normalFileExists(target)) {
            static_cast<void>(files_.deleteFile(target));
        }
    }
}

void DownloadPool::stopThreads() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

}  // namespace pelorix::files
