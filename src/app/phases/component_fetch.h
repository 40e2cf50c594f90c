#pragma once

#include "files/download_pool.h"
#include "files/downloader.h"
#include "files/partial_downloads.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace pelorix::app {

struct UpdateContext;

// How the files of the release reach their temporary paths, row by row in the order of the
// table: taken from the installation where it already has the listed file, otherwise fetched,
// one after the other or (from the update server, with clients to spare) side by side on
// several connections, ahead of the row the run is at. What an earlier run fetched is kept
// where the checksum list vouches for it, and a download it cut off is continued where the file
// is the same.
class ComponentFetch {
  public:
    explicit ComponentFetch(UpdateContext& ctx);

    // The file of the row is at its temporary path; false with the reason in failure().
    bool obtain(std::size_t row);
    const QString& failure() const { return failure_; }
    // After the row failed or was interrupted: later transfers end, and their files go.
    void abandonAfter(std::size_t row);

  private:
    bool fetchAlone(std::size_t row);

    UpdateContext& ctx_;
    files::PartialDownloads partials_;
    files::Downloader downloader_;
    std::vector<bool> unchanged_;
    std::vector<bool> fetchedBefore_;
    std::unique_ptr<files::DownloadPool> pool_;
    QString failure_;
};

}  // namespace pelorix::app
