#include "app/phase_download.h"

#include "app/phase_release_check.h"
#include "app/release_components.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "files/downloader.h"

namespace pelorix::app {

namespace {

// With a verified checksum list every file must match it; without a key nothing is checked.
bool isTrusted(const UpdateContext& ctx, const QString& fileName, const QString& path) {
    if (ctx.release->state != ReleaseTrust::State::Verified) {
        return true;
    }
    const files::FileVerification verification =
        verifyDownloadedFile(ctx, *ctx.release, fileName, path);
    if (!verification.verified) {
        ctx.log("Download of " + fileName + " failed: " + verification.failure);
    }
    return verification.verified;
}

}  // namespace

RunOutcome runComponentDownload(UpdateContext& ctx) {
    // A run that started as database-only and was switched to a full one is judged now.
    if (!ctx.release) {
        const RunOutcome outcome = runReleaseCheck(ctx);
        if (outcome != RunOutcome::Continue) {
            return outcome;
        }
    }
    files::Downloader downloader(ctx.form.commandLine, ctx.ownFolder, ctx.services.files,
                                 ctx.services.http, ctx.limits.httpLimits());
    for (const ReleaseComponent& component : kReleaseComponents) {
        ctx.status.ShowStatus(ctx.tr(component.statusText.toString()), 2);
        const QString fileName = component.fileName.toString();
        const QString target = component.temporaryPath(ctx.settings.appPath);
        if (!downloader.DownloadFile(ctx.updateServerBase, fileName, target,
                                     component.minimumSize)) {
            ctx.log("Download of " + fileName + " failed: " + downloader.lastFailure());
            ShowDownloadError(ctx);
            return RunOutcome::DownloadError;
        }
        if (!isTrusted(ctx, fileName, target)) {
            ShowDownloadError(ctx);
            return RunOutcome::DownloadError;
        }
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
