#pragma once

namespace pelorix::app {

struct UpdateContext;

// Asks the supervising service to run PelorixService, then HavrelService, again (targetstatus
// "1") and awaits each until its currentstatus reads "1", for as long as a stop is awaited; one
// status line each. True when both report themselves running.
bool runServiceStart(UpdateContext& ctx);

}  // namespace pelorix::app
