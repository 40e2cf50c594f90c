#pragma once

#include "app/console/run_report.h"
#include "app/dry_run/dry_run.h"
#include "app/phases/procedure.h"
#include "app/program/installation.h"
#include "app/replacement/undo.h"
#include "app/run/blocking_services.h"
#include "app/run/debug_log.h"
#include "app/run/form_model.h"
#include "app/run/outcome.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/waiter.h"
#include "i18n/language.h"
#include "xmlstore/xml_store.h"

#include <memory>
#include <optional>

namespace pelorix::i18n {
class LearningDialog;
}

namespace pelorix::app {

// The program behind its front end: the window's state, start-up and the update procedure.
class Application {
  public:
    Application(UserInterface& ui, i18n::LearningDialog* learningDialog, Installation installation,
                UpdateServices services);
    // The load event of the window. Before anything else, what a killed run left in the middle
    // of its replacement is undone.
    void start();
    // A headless run: from now on `request` (the interrupting signal, or 0) is asked where the
    // run may stop.
    void stopOnInterruption(std::function<int()> request);
    // The click on "Update ausführen".
    RunOutcome pressUpdate();
    bool isUpdating() const { return procedure_ && procedure_->isRunning(); }
    // After start(): a successful update starts both services again.
    void setStartServices(bool on) { context_->startServices = on; }
    // After start(): an installation that already is the release is left untouched.
    void setOnlyIfNeeded(bool on) { context_->onlyIfNeeded = on; }
    // After start(): checks everything, changes nothing, prints the plan; the exit status the
    // real run is expected to end with.
    int dryRun(const PlanPrinter& print);
    // What the run (or dry run) did, for a report of the given exit status.
    RunReport report(int status, const QDateTime& startedAt) const;

    FormModel& form() { return form_; }
    const ProgramSettings& settings() const { return settings_; }
    const Installation& installation() const { return installation_; }
    // The two-letter code of the language the window speaks (after start()).
    QString interfaceLanguage() { return language_ ? language_->interfaceLanguage() : ""; }

  private:
    Recovery recoverInterruptedUpdate();

    UserInterface& ui_;
    i18n::LearningDialog* learningDialog_;
    Installation installation_;
    UpdateServices services_;
    // What the procedure uses: the services with their blocking calls run by the front end.
    BlockingServices blockingServices_;
    FormModel form_;
    ProgramSettings settings_;
    DebugLog debugLog_;
    StatusOutput status_;
    Waiter waiter_;
    xmlstore::XmlStore xml_;
    std::optional<i18n::Language> language_;
    std::unique_ptr<UpdateContext> context_;
    std::optional<UpdateProcedure> procedure_;
    std::vector<StatusLine> dryRunLines_;
};

}  // namespace pelorix::app
