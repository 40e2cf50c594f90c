#pragma once

#include "app/run/outcome.h"

namespace pelorix::app {

struct UpdateContext;

// Decides, before anything changes, whether the release may be installed (see ReleaseTrust).
// Without a trusted key the run goes on unverified; an unusable key file takes the general
// failure exit; a refused release shows the download message and ends with DownloadError. A
// verified checksum list is kept in the context for the downloads and its timestamp remembered.
RunOutcome runReleaseCheck(UpdateContext& ctx);

}  // namespace pelorix::app
