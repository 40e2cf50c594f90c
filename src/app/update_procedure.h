#pragma once

#include "app/run_outcome.h"

namespace pelorix::app {

struct UpdateContext;

// The click on "Update ausführen": preconditions, service shutdown, migration, download,
// replacement and completion, one after another on the caller's thread.
class UpdateProcedure {
  public:
    explicit UpdateProcedure(UpdateContext& context) : context_(context) {}

    // A click that arrives while a run handles events is ignored (and reported as Continue).
    RunOutcome run();
    bool isRunning() const { return running_; }

  private:
    RunOutcome runPhases();
    RunOutcome checkPreconditions();

    UpdateContext& context_;
    bool running_ = false;
};

}  // namespace pelorix::app
