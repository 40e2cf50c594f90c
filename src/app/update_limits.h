#pragma once

#include "platform/database.h"

#include <chrono>

namespace pelorix::app {

// The time limits of the update procedure. Start-up can shorten them from the environment so
// that tests of a service that never stops or of a stalled download need not wait the full time.
struct UpdateLimits {
    // How long a service is given to report itself stopped, on a clock of whole seconds.
    int stopTimeoutSeconds = 8;
    // How long a download may go without a byte (and a connection may take).
    std::chrono::seconds downloadStall{10};
    // How long a database statement and a connection to a database server may take.
    platform::DatabaseLimits database{};
};

// The defaults, each replaced by a whole number of seconds (at least 1) in
// PELORIX_STOP_TIMEOUT_SECONDS, PELORIX_DOWNLOAD_STALL_SECONDS,
// PELORIX_DB_STATEMENT_TIMEOUT_SECONDS and PELORIX_DB_CONNECT_TIMEOUT_SECONDS; anything else is
// ignored.
UpdateLimits updateLimitsFromEnvironment();

}  // namespace pelorix::app
