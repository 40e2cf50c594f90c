#pragma once

#include <QString>

namespace pelorix::app {

struct UpdateContext;

// The download message, then the default mouse pointer. A refused release adds, after an empty
// line, "Release refused: " and the reason.
void ShowDownloadError(UpdateContext& ctx, const QString& releaseRefusal = {});

}  // namespace pelorix::app
