#pragma once

#include "app/run/outcome.h"

namespace pelorix::app {

struct UpdateContext;

// The end of a successful run: the success line (not after a database-only run, which wrote its
// own), the full progress bar and the question whether to open the Pelorix main program. Yes
// starts it and ends the updater (MainProgramStarted); No leaves the window open (Completed).
// On request both services are started again after the success line; when one does not start,
// the run still ends this way but with ServiceNotStarted.
RunOutcome runCompletion(UpdateContext& ctx, bool databaseOnly);

}  // namespace pelorix::app
