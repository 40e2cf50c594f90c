#pragma once

#include "app/run/outcome.h"

namespace pelorix::app {

struct UpdateContext;

// Stops PelorixService, then HavrelService, through the control document of the supervising
// service: each is asked by a targetstatus of "0" and awaited until its currentstatus reads "0",
// for at most 8 seconds. Continue once both have stopped; GeneralFailure when the document is
// missing, does not parse or cannot be rewritten; ServiceNotStopped when one stays up.
RunOutcome runServiceShutdown(UpdateContext& ctx);

}  // namespace pelorix::app
