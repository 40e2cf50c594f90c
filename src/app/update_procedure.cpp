#include "app/update_procedure.h"

#include "app/phase_completion.h"
#include "app/phase_download.h"
#include "app/phase_install.h"
#include "app/phase_migration.h"
#include "app/phase_release_check.h"
#include "app/phase_shutdown.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "files/kill_process.h"

namespace pelorix::app {

namespace {

constexpr int kProgressMaximum = 71;

// Clears the flag however the run ends.
class RunningFlag {
  public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace

RunOutcome UpdateProcedure::run() {
    if (running_) {
        return RunOutcome::Continue;
    }
    RunningFlag flag(running_);
    return runPhases();
}

RunOutcome UpdateProcedure::runPhases() {
    context_.release.reset();
    RunOutcome outcome = checkPreconditions();
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    // The release is judged before any service stops; a database-only run fetches none.
    if (context_.form.updateDatabaseOnlyCheck != 1) {
        outcome = runReleaseCheck(context_);
        if (outcome != RunOutcome::Continue) {
            return outcome;
        }
    }
    outcome = runServiceShutdown(context_);
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    outcome = runMigration(context_);
    if (outcome == RunOutcome::SkipToCompletion) {
        return runCompletion(context_, true);
    }
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    outcome = runComponentDownload(context_);
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    outcome = runReplacement(context_);
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    return runCompletion(context_, false);
}

RunOutcome UpdateProcedure::checkPreconditions() {
    UpdateContext& ctx = context_;
    ctx.status.clear();
    ctx.status.setProgressRange(kProgressMaximum);
    if (files::IsProcessRunning("Pelorix.exe", false, ctx.services.processes)) {
        ctx.message(ctx.tr("Sie müssen vor dem Update erst den Pelorix beenden."));
        return RunOutcome::MainProgramRunning;
    }
    const QString question =
        ctx.tr("Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden.") + "\r\n" +
        ctx.tr(
            "Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie "
            "fortfahren ?");
    if (ctx.message(question, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return RunOutcome::Cancelled;
    }
    ctx.ui.setMousePointer(MousePointer::Wait);
    return RunOutcome::Continue;
}

}  // namespace pelorix::app
