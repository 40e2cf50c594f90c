#include "app/phase_shutdown.h"

#include "app/service_control.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "platform/file_system.h"

namespace pelorix::app {

namespace {

const ServiceStep kPelorixService{
    "Beende den PelorixService",
    kPelorixServiceEntry,
    "Der PelorixService konnte nicht beendet werden.",
    "Error terminating PXS.",
};

const ServiceStep kHavrelService{
    "Beende den HavrelService",
    kHavrelServiceEntry,
    "Der HavrelService konnte nicht beendet werden.",
    "Error terminating HVS.",
};

RunOutcome reportNotStopped(UpdateContext& ctx, const ServiceStep& stop) {
    ctx.status.closeStep(ctx.tr("Fehler"));
    ctx.message(ctx.trLines({stop.failureText,
                             "Bitte versuchen Sie es erneut, ggf. kann der Dienst auch erst "
                             "nach einem Rechnerneustart beendet werden."},
                            "\r\n"));
    ctx.ui.setMousePointer(MousePointer::Default);
    ctx.log(stop.logText);
    return RunOutcome::ServiceNotStopped;
}

// The step line of the service is open when this is called. A document without the status
// element belongs to an unsupervised service, which counts as stopped.
RunOutcome stopService(UpdateContext& ctx, const QString& document, const ServiceStep& stop) {
    if (!requestTargetStatus(ctx, document, stop.service, kServiceStopped)) {
        return ctx.generalFailureExit();
    }
    if (!awaitCurrentStatus(ctx, document, stop.service, kServiceStopped, kServiceStopped)) {
        return reportNotStopped(ctx, stop);
    }
    ctx.status.closeStep("OK");
    return RunOutcome::Continue;
}

}  // namespace

RunOutcome runServiceShutdown(UpdateContext& ctx) {
    ctx.status.openStep(ctx.tr(kPelorixService.stepText));
    const QString document = ctx.controlDocument;
    if (!ctx.services.files.normalFileExists(document)) {
        // Read anyway, for the file system's word on why there is nothing to read.
        logControlDocumentFailure(ctx, "loading", document,
                                  ctx.services.files.readFile(document).reason());
        return ctx.generalFailureExit();
    }
    const RunOutcome outcome = stopService(ctx, document, kPelorixService);
    if (outcome != RunOutcome::Continue) {
        return outcome;
    }
    ctx.status.openStep(ctx.tr(kHavrelService.stepText));
    return stopService(ctx, document, kHavrelService);
}

}  // namespace pelorix::app
