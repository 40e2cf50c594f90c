#include "app/phase_download.h"

#include "app/fetched_files.h"
#include "app/release_components.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "files/downloader.h"

namespace pelorix::app {

RunOutcome runComponentDownload(UpdateContext& ctx) {
    files::Downloader downloader(ctx.form.commandLine, ctx.ownFolder, ctx.services.files,
                                 ctx.services.http, ctx.limits.downloadStall);
    for (const ReleaseComponent& component : kReleaseComponents) {
        ctx.status.ShowStatus(ctx.tr(component.statusText.toString()), 2);
        const QString fileName = component.fileName.toString();
        if (!downloader.DownloadFile(ctx.updateServerBase, fileName,
                                     component.temporaryPath(ctx.settings.appPath),
                                     component.minimumSize)) {
            ctx.log("Download of " + fileName + " failed: " + downloader.lastFailure());
            ShowDownloadError(ctx);
            return RunOutcome::DownloadError;
        }
        noteFetchedFile(ctx, component);
        ctx.status.ShowStatus("OK", 3);
    }
    return RunOutcome::Continue;
}

void ShowDownloadError(UpdateContext& ctx) {
    ctx.message(ctx.tr("Fehler beim Download. Der Vorgang wird abgebrochen.") + "\r" +
                ctx.tr("Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre Einstellungen "
                       "der Firewall.") +
                "\r\r" + ctx.tr("Sie können bei Orvane auch ein Offline-Update erhalten."));
    ctx.ui.setMousePointer(MousePointer::Default);
}

}  // namespace pelorix::app
