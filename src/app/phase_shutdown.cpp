#include "app/phase_shutdown.h"

#include "app/debug_log.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/special_folders.h"
#include "xmlstore/xml_store.h"

#include <chrono>

namespace pelorix::app {

namespace {

struct ServiceStop {
    const char* stepText;
    const char* targetPath;
    const char* currentPath;
    const char* failureText;
    const char* logText;
};

const ServiceStop kPelorixService{
    "Beende den PelorixService",
    R"(processes/process[@name="PelorixService"]/targetstatus)",
    R"(processes/process[@name="PelorixService"]/currentstatus)",
    "Der PelorixService konnte nicht beendet werden.",
    "Error terminating PXS.",
};

const ServiceStop kHavrelService{
    "Beende den HavrelService",
    R"(processes/process[@name="HavrelService"]/targetstatus)",
    R"(processes/process[@name="HavrelService"]/currentstatus)",
    "Der HavrelService konnte nicht beendet werden.",
    "Error terminating HVS.",
};

const QString kStopped = "0";
constexpr std::chrono::milliseconds kPollInterval{10};

// Measured on a monotonic clock: a clock change (the end of daylight saving) must neither end
// the wait at once nor stretch it.
class StopDeadline {
  public:
    explicit StopDeadline(const UpdateContext& ctx)
        : clock_(ctx.services.clock),
          end_(clock_.monotonicNow() + std::chrono::seconds(ctx.limits.stopTimeoutSeconds)) {}
    bool passed() const { return clock_.monotonicNow() >= end_; }

  private:
    const platform::Clock& clock_;
    std::chrono::steady_clock::time_point end_;
};

// The document as it is now; one that does not parse is read again, as the poll does, for as
// long as a service is given to stop: the supervising service may be rewriting it this moment.
bool loadDocument(UpdateContext& ctx, const QString& document) {
    const StopDeadline deadline(ctx);
    while (!ctx.xml.XMLLoad(document, 0)) {
        if (deadline.passed()) {
            return false;
        }
        ctx.services.clock.sleepFor(kPollInterval);
        ctx.ui.processEvents();
    }
    return true;
}

// Writes the stop request. A document that does not parse is left alone rather than replaced
// by an empty one: it belongs to the supervising service.
bool requestStop(UpdateContext& ctx, const QString& document, const ServiceStop& service) {
    if (!loadDocument(ctx, document)) {
        return false;
    }
    ctx.xml.XMLSetValue(service.targetPath, kStopped);
    return ctx.xml.XMLSave("");
}

// A document without the status element belongs to an unsupervised service, which counts as
// stopped; a document that cannot be read or parsed (say, while it is rewritten) says nothing.
bool reportsStopped(UpdateContext& ctx, const QString& document, const ServiceStop& service) {
    return ctx.xml.XMLLoad(document, 0) &&
           ctx.xml.XMLGetValue(service.currentPath, kStopped) == kStopped;
}

bool awaitStop(UpdateContext& ctx, const QString& document, const ServiceStop& service) {
    const StopDeadline deadline(ctx);
    bool stopped = false;
    do {
        stopped = reportsStopped(ctx, document, service);
        ctx.services.clock.sleepFor(kPollInterval);
        ctx.ui.processEvents();
    } while (!stopped && !deadline.passed());
    return stopped;
}

RunOutcome reportNotStopped(UpdateContext& ctx, const ServiceStop& service) {
    ctx.status.ShowStatus(ctx.tr("Fehler"), 3);
    ctx.message(ctx.trLines({service.failureText,
                             "Bitte versuchen Sie es erneut, ggf. kann der Dienst auch erst "
                             "nach einem Rechnerneustart beendet werden."},
                            "\r\n"));
    ctx.ui.setMousePointer(MousePointer::Default);
    ctx.log(service.logText);
    return RunOutcome::ServiceNotStopped;
}

// The step line of the service is open when this is called.
RunOutcome stopService(UpdateContext& ctx, const QString& document, const ServiceStop& service) {
    if (!requestStop(ctx, document, service)) {
        return ctx.generalFailureExit();
    }
    if (!awaitStop(ctx, document, service)) {
        return reportNotStopped(ctx, service);
    }
    ctx.status.ShowStatus("OK", 3);
    return RunOutcome::Continue;
}

}  // namespace

RunOutcome runServiceShutdown(UpdateContext& ctx) {
    ctx.status.ShowStatus(ctx.tr(kPelorixService.stepText), 2);
    if (ctx.form.updateLog) {
        // The header sets each run off from the previous one in the log.
        ctx.debugLog.WriteDebugLog("Updater started version: " + ctx.form.versionCaption, "\r\n");
    }
    const QString document =
        platform::GetSpecialFolder(platform::kCommonAppData) + "/OrvaneTrellisService/OTRS.xml";
    if (!ctx.services.files.normalFileExists(document)) {
        return ctx.generalFailureExit();
    }
    const RunOutcome outcome = stopService(ctx, document, kPelorixService);
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    ctx.status.ShowStatus(ctx.tr(kHavrelService.stepText), 2);
    return stopService(ctx, document, kHavrelService);
}

}  // namespace pelorix::app
