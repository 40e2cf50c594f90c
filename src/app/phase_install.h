#pragma once

#include "app/run_outcome.h"

namespace pelorix::app {

struct UpdateContext;

// Replaces the installed release by the downloaded files: unregisters the old libraries, removes
// the old files, moves the new ones into place and registers the new libraries. Continue when
// everything is in place; the general failure exit otherwise.
RunOutcome runReplacement(UpdateContext& ctx);

}  // namespace pelorix::app
