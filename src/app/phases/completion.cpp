#include "app/phases/completion.h"

#include "app/phases/service_start.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/waiter.h"
#include "platform/program_start.h"

namespace pelorix::app {

namespace {

bool askToOpenMainProgram(UpdateContext& ctx) {
    const QString question =
        ctx.trLines({"Das Update wurde erfolgreich durchgeführt.",
                     "Sie müssen die Dienste im Konfigurationsprogramm noch starten.", "",
                     "Wollen Sie jetzt das Konfigurationsprogramm vom Pelorix öffnen ?"},
                    "\r");
    return ctx.message(question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace

RunOutcome runCompletion(UpdateContext& ctx, bool databaseOnly) {
    if (!databaseOnly) {
        ctx.waiter.WaitSeconds(1);
        ctx.status.showLine(ctx.tr("Update erfolgreich ausgeführt."));
    }
    const bool servicesRunning = !ctx.startServices || runServiceStart(ctx);
    ctx.status.fillProgress();
    ctx.waiter.WaitSeconds(1);
    const bool open = askToOpenMainProgram(ctx);
    ctx.ui.setMousePointer(MousePointer::Default);
    const RunOutcome done = servicesRunning ? RunOutcome::Completed : RunOutcome::ServiceNotStarted;
    if (!open) {
        return done;
    }
    // The program path is one argument: blanks in it cannot split it or start another program.
    const QString mainProgram = ctx.settings.appPath + "/Pelorix.exe";
    if (const platform::Outcome started = ctx.services.programs.start({mainProgram}); !started) {
        ctx.log("Error starting " + mainProgram + ": " + started.reason());
        return ctx.generalFailureExit();
    }
    ctx.ui.quit();
    return servicesRunning ? RunOutcome::MainProgramStarted : done;
}

}  // namespace pelorix::app
