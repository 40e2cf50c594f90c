#pragma once

#include "app/run/outcome.h"

#include <QStringList>

namespace pelorix::app {

struct UpdateContext;

// Fetches the sixteen files of the release into the program folder under their temporary
// names, one status line each. The first failed file shows the download message and ends the
// run with DownloadError before any installed file has changed.
RunOutcome runComponentDownload(UpdateContext& ctx);

// The files of a local release folder that leave it once the update has completed (absolute
// paths); none in server mode, and none that lies in the folder the file is installed to.
QStringList localReleaseFiles(const UpdateContext& ctx);

}  // namespace pelorix::app
