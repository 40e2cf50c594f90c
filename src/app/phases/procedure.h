#pragma once

#include "app/run/installation_lock.h"
#include "app/run/outcome.h"

namespace pelorix::app {

struct UpdateContext;

// The click on "Update ausführen": preconditions, service shutdown, migration, download,
// replacement and completion, one after another on the caller's thread.
class UpdateProcedure {
  public:
    explicit UpdateProcedure(UpdateContext& context);

    // A click that arrives while a run handles events is ignored (and reported as Continue).
    RunOutcome run();
    bool isRunning() const { return running_; }

  private:
    RunOutcome runPhases();
    RunOutcome checkPreconditions();
    // One run at a time: the lock is held until the run ends, and what a killed run left in the
    // middle of its replacement is undone first.
    RunOutcome takeInstallation();
    RunOutcome stopIfInterrupted(RunOutcome outcome, const char* where) const;

    UpdateContext& context_;
    InstallationLock lock_;
    bool running_ = false;
};

}  // namespace pelorix::app
