#include "app/phases/service_start.h"

#include "app/phases/service_control.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"

namespace pelorix::app {

namespace {

const ServiceStep kPelorixService{
    "Starte den PelorixService",
    kPelorixServiceEntry,
    "Der PelorixService konnte nicht gestartet werden.",
    "Error starting PXS.",
};

const ServiceStep kHavrelService{
    "Starte den HavrelService",
    kHavrelServiceEntry,
    "Der HavrelService konnte nicht gestartet werden.",
    "Error starting HVS.",
};

// A service the document does not report running has not started: nothing says it runs.
bool startService(UpdateContext& ctx, const QString& document, const ServiceStep& start) {
    ctx.status.openStep(ctx.tr(start.stepText));
    const bool running =
        requestTargetStatus(ctx, document, start.service, kServiceRunning) &&
        awaitCurrentStatus(ctx, document, start.service, kServiceRunning, QString());
    if (running) {
        ctx.status.closeStep("OK");
        return true;
    }
    ctx.status.closeStep(ctx.tr("Fehler"));
    ctx.log(start.logText);
    ctx.message(ctx.tr(start.failureText));
    return false;
}

}  // namespace

bool runServiceStart(UpdateContext& ctx) {
    const QString document = ctx.controlDocument;
    // The second service is started even when the first did not start: it may run without it.
    const bool pelorixRunning = startService(ctx, document, kPelorixService);
    const bool havrelRunning = startService(ctx, document, kHavrelService);
    return pelorixRunning && havrelRunning;
}

}  // namespace pelorix::app
