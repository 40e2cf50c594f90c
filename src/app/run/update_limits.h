#pragma once

#include "platform/database.h"
#include "platform/http_client.h"

#include <QString>

#include <chrono>

namespace pelorix::platform {
class Environment;
}

namespace pelorix::app {

// The limits of the update procedure, and where it looks first for the release key. Start-up
// can shorten the limits from the environment so that tests of a service that never stops or of
// a stalled or endless download need not wait the full time.
struct UpdateLimits {
    // How long a service is given to report itself stopped, on a clock of whole seconds.
    int stopTimeoutSeconds = 8;
    // How long a download may go without a byte (and a connection may take).
    std::chrono::seconds downloadStall{10};
    // How long a database statement and a connection to a database server may take.
    platform::DatabaseLimits database{};
    // How long one download may take in all, and how many bytes its body may have: far above
    // the largest release file on a slow line, so that only a server that never ends meets them.
    std::chrono::seconds downloadTotalTime{std::chrono::minutes(30)};
    qint64 downloadMaximumBytes = qint64{256} * 1024 * 1024;
    // Test knob: how long the procedure's own waits (WaitSeconds) last, in percent of their
    // seconds, 1 to 100. Only PELORIX_TEST_WAIT_PERCENT changes it, and the debug log says so.
    int waitPercent = 100;
    // How many files of the release are fetched side by side (1: one after the other).
    int parallelDownloads = 4;
    // A trusted release key named by the administrator; empty when none is.
    QString releaseKeyPath;

    platform::HttpLimits httpLimits() const {
        platform::HttpLimits limits;
        limits.connectTimeout = downloadStall;
        limits.stallTimeout = downloadStall;
        limits.totalTimeout = downloadTotalTime;
        limits.maximumBodySize = downloadMaximumBytes;
        return limits;
    }
};

// The defaults, each replaced by a whole number (at least 1) in PELORIX_STOP_TIMEOUT_SECONDS,
// PELORIX_DOWNLOAD_STALL_SECONDS, PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS,
// PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES, PELORIX_DB_STATEMENT_TIMEOUT_SECONDS and
// PELORIX_DB_CONNECT_TIMEOUT_SECONDS, PELORIX_TEST_WAIT_PERCENT by a whole number from 1 to
// 100 and PELORIX_PARALLEL_DOWNLOADS by one from 1 to 16; anything else is ignored.
// PELORIX_RELEASE_KEY gives the path of the release key.
UpdateLimits updateLimitsFromEnvironment(const platform::Environment& environment);

}  // namespace pelorix::app
