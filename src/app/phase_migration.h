#pragma once

#include "app/run_outcome.h"

namespace pelorix::app {

struct UpdateContext;

// The database migration script: Continue to the download, SkipToCompletion for a
// database-only run, DatabaseError after its message.
RunOutcome runMigration(UpdateContext& ctx);

}  // namespace pelorix::app
