#include "app/program/application.h"

#include "app/phases/install.h"
#include "app/phases/registrar.h"
#include "app/program/startup.h"
#include "app/replacement/interrupted_update.h"
#include "app/run/installation_lock.h"

namespace pelorix::app {

Application::Application(UserInterface& ui, i18n::LearningDialog* learningDialog,
                         Installation installation, UpdateServices services)
    : ui_(ui),
      learningDialog_(learningDialog),
      installation_(std::move(installation)),
      services_(services),
      blockingServices_(services, ui),
      debugLog_(DebugLog::defaultPath(installation_.debugLogFolder), services.files),
      status_(form_, ui, debugLog_),
      waiter_(services.clock, ui, installation_.limits.waitPercent),
      xml_(services.files) {}

void Application::start() {
    loadConfiguration(settings_, form_, installation_, services_.files);
    // Before the language file is read: it may be one of the files to put back.
    const Recovery recovery = recoverInterruptedUpdate();
    language_.emplace(services_.files, settings_.languageFile(), settings_.languageSetting,
                      settings_.learningLanguage, learningDialog_, services_.clock);
    finishStartup(form_, *language_);
    context_ = std::make_unique<UpdateContext>(UpdateContext{
        form_, settings_, ui_, status_, debugLog_, waiter_, *language_, xml_,
        blockingServices_.services(), installation_.updateServerBase, installation_.ownFolder,
        installation_.controlDocument, installation_.limits, installation_.packagePlaces});
    procedure_.emplace(*context_);
    showRecovery(*context_, recovery);
}

void Application::stopOnInterruption(std::function<int()> request) {
    if (context_) {
        context_->interruptionRequest = std::move(request);
    }
}

// A journal of a run that still goes on is its own: only a journal whose lock is free is settled.
Recovery Application::recoverInterruptedUpdate() {
    const InstallationFolders folders{settings_.appPath, form_.systemFolder,
                                      settings_.settingsFolder};
    if (!hasInterruptedUpdate(folders, services_.files)) {
        return Recovery::NothingToDo;
    }
    InstallationLock lock(settings_.appPath, form_.systemFolder);
    if (lock.take() != platform::LockAttempt::Taken) {
        return Recovery::NothingToDo;
    }
    const JournalTools tools{
        services_.files, services_.programs,
        findRegistrar(installation_.packagePlaces.privateProgramFolder, installation_.ownFolder),
        [this](const QString& message) {
            if (form_.updateLog) {
                debugLog_.write(message);
            }
        }};
    return settleInterruptedUpdates(folders, tools);
}

int Application::dryRun(const PlanPrinter& print) {
    DryRun dryRun(*context_, print);
    const int status = dryRun.run();
    dryRunLines_ = dryRun.lines();
    return status;
}

RunReport Application::report(int status, const QDateTime& startedAt) const {
    const bool dry = context_ && context_->record.dryRun;
    return {status, startedAt, QDateTime::currentDateTimeUtc(),
            dry ? dryRunLines_ : status_.lines(), context_ ? context_->record : RunRecord{}};
}

RunOutcome Application::pressUpdate() {
    return procedure_ ? procedure_->run() : RunOutcome::Continue;
}

}  // namespace pelorix::app
