#include "app/phases/procedure.h"

#include "app/phases/completion.h"
#include "app/phases/download.h"
#include "app/phases/fetched_files.h"
#include "app/phases/install.h"
#include "app/phases/installation_currency.h"
#include "app/phases/migration.h"
#include "app/phases/release_check.h"
#include "app/phases/shutdown.h"
#include "app/replacement/interrupted_update.h"
#include "app/run/debug_log.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "files/kill_process.h"
#include "platform/operating_system_folders.h"

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

// Lets the lock go however the run ends.
class LockRelease {
  public:
    explicit LockRelease(InstallationLock& lock) : lock_(lock) {}
    ~LockRelease() { lock_.release(); }
    LockRelease(const LockRelease&) = delete;
    LockRelease& operator=(const LockRelease&) = delete;

  private:
    InstallationLock& lock_;
};

// The header sets each run off from the previous one in the log, so it is the run's first entry:
// whatever the run logs (the lock, a recovery, the release check) follows it.
void logRunStart(const UpdateContext& ctx) {
    if (ctx.form.updateLog) {
        ctx.debugLog.writeAfterHeader("\r\n",
                                      "Updater started version: " + ctx.form.versionCaption);
    }
    // A shortened wait must never pass unnoticed in a user's log.
    if (ctx.limits.waitPercent != 100) {
        ctx.log(QStringLiteral("Test knob PELORIX_TEST_WAIT_PERCENT: every wait lasts %1 % of its "
                               "seconds.")
                    .arg(ctx.limits.waitPercent));
    }
}

}  // namespace

UpdateProcedure::UpdateProcedure(UpdateContext& context)
    : context_(context), lock_(context.settings.appPath, context.form.systemFolder) {}

RunOutcome UpdateProcedure::run() {
    if (running_) {
        return RunOutcome::Continue;
    }
    RunningFlag flag(running_);
    LockRelease release(lock_);
    return runPhases();
}

RunOutcome UpdateProcedure::stopIfInterrupted(RunOutcome outcome, const char* where) const {
    const bool goesOn = outcome == RunOutcome::Continue || outcome == RunOutcome::SkipToCompletion;
    return goesOn && context_.interruption() != 0 ? context_.interruptedExit(where) : outcome;
}

RunOutcome UpdateProcedure::runPhases() {
    context_.release.reset();
    RunOutcome outcome = stopIfInterrupted(checkPreconditions(), "before stopping the services");
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    // The release is judged before any service stops; a database-only run fetches none.
    if (context_.form.updateDatabaseOnlyCheck != 1) {
        outcome = stopIfInterrupted(runReleaseCheck(context_), "before stopping the services");
        if (outcome != RunOutcome::Continue) {
            return outcome;
        }
    }
    if (context_.onlyIfNeeded && installationIsCurrent(context_)) {
        return RunOutcome::Completed;
    }
    outcome = stopIfInterrupted(runServiceShutdown(context_), "after stopping the services");
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    outcome = stopIfInterrupted(runMigration(context_), "after the database migration");
    if (outcome == RunOutcome::SkipToCompletion) {
        return runCompletion(context_, true);
    }
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    outcome = stopIfInterrupted(runComponentDownload(context_), "after the downloads");
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    noteRetiredEntries(context_);
    // The replacement is never cut short: a request to stop waits for its end.
    outcome = stopIfInterrupted(runReplacement(context_), "after the replacement");
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    return runCompletion(context_, false);
}

RunOutcome UpdateProcedure::checkPreconditions() {
    UpdateContext& ctx = context_;
    ctx.status.clear();
    ctx.status.setProgressRange(kProgressMaximum);
    // Without AppPath the updater's own folder is the program folder: for the package, /usr/bin.
    if (platform::isOperatingSystemFolder(ctx.settings.appPath)) {
        ctx.log("Refused program folder " + ctx.settings.appPath + ": a folder of the system.");
        ctx.message(ctx.tr("Der Pelorix Programmordner ist ein Systemordner:") + " " +
                    ctx.settings.appPath + "\r\n" +
                    ctx.tr("Bitte tragen Sie ihn als AppPath in die Einstellungsdatei ein."));
        return RunOutcome::GeneralFailure;
    }
    if (files::IsProcessRunning("Pelorix.exe", false, ctx.services.processes)) {
        ctx.message(ctx.tr("Sie müssen vor dem Update erst den Pelorix beenden."));
        return RunOutcome::MainProgramRunning;
    }
    const QString question = ctx.trLines(
        {"Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden.",
         "Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie fortfahren ?"},
        "\r\n");
    if (ctx.message(question, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return RunOutcome::Cancelled;
    }
    const RunOutcome taken = takeInstallation();
    if (taken != RunOutcome::Continue) {
        return taken;
    }
    ctx.ui.setMousePointer(MousePointer::Wait);
    return RunOutcome::Continue;
}

RunOutcome UpdateProcedure::takeInstallation() {
    UpdateContext& ctx = context_;
    const platform::LockAttempt attempt = lock_.take();
    if (attempt == platform::LockAttempt::HeldElsewhere) {
        // Nothing of this run goes into the log: it would split the block of the run that holds
        // the lock.
        ctx.message(ctx.tr("Ein anderes Update dieser Installation läuft bereits."));
        return RunOutcome::AnotherUpdateRunning;
    }
    logRunStart(ctx);
    if (attempt == platform::LockAttempt::Unavailable) {
        ctx.log("Error creating the lock file " + lock_.path() + ": " + lock_.unavailableReason());
        return ctx.generalFailureExit();
    }
    const Recovery recovery = settleInterruptedUpdates(
        {ctx.settings.appPath, ctx.form.systemFolder, ctx.settings.settingsFolder},
        replacementJournalTools(ctx));
    showRecovery(ctx, recovery);
    if (recovery == Recovery::Failed) {
        return ctx.generalFailureExit();
    }
    return RunOutcome::Continue;
}

}  // namespace pelorix::app
