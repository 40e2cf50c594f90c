#pragma once

#include "app/replacement/undo.h"
#include "app/run/outcome.h"

namespace pelorix::app {

struct UpdateContext;

// Replaces the installed release by the downloaded files: unregisters the old libraries, removes
// the old files, moves the new ones into place and registers the new libraries. Continue when
// everything is in place; otherwise the old release is restored and the general failure exit
// taken. A journal in the settings folder lets a later start undo a run that was killed.
RunOutcome runReplacement(UpdateContext& ctx);

// What the replacement's journal is undone or finished with, in this context.
JournalTools replacementJournalTools(const UpdateContext& ctx);

// A whole status line when a journal left by an earlier run was rolled back (or could not be).
void showRecovery(UpdateContext& ctx, Recovery recovery);

}  // namespace pelorix::app
