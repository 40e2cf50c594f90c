#include "app/phase_download.h"

#include "app/release_components.h"
#include "app/status_output.h"
#include "app/update_context.h"
#include "files/downloader.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>

namespace pelorix::app {

namespace {

// An empty folder joins to paths in the root; so does "/" or a link to it.
bool isRootFolder(const QString& folder, const platform::FileSystem& files) {
    const QString canonical = QFileInfo(files.resolve(folder)).canonicalFilePath();
    return folder.isEmpty() || QDir::cleanPath(folder) == "/" || canonical == "/";
}

// The files of the release are written, removed and moved only in their own folders, never in
// the root, whatever the settings or a failed folder lookup say.
bool installFoldersAreSafe(UpdateContext& ctx) {
    for (const QString& folder : {ctx.settings.appPath, ctx.form.systemFolder}) {
        if (isRootFolder(folder, ctx.services.files)) {
            ctx.log("Refusing to install into the root folder (\"" + folder + "\").");
            return false;
        }
    }
    return true;
}

}  // namespace

RunOutcome runComponentDownload(UpdateContext& ctx) {
    if (!installFoldersAreSafe(ctx)) {
        return ctx.generalFailureExit();
    }
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
        ctx.status.ShowStatus("OK", 3);
    }
    return RunOutcome::Continue;
}

void ShowDownloadError(UpdateContext& ctx) {
    ctx.message(ctx.trLines({"Fehler beim Download. Der Vorgang wird abgebrochen.",
                             "Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre "
                             "Einstellungen der Firewall.",
                             "", "Sie können bei Orvane auch ein Offline-Update erhalten."},
                            "\r"));
    ctx.ui.setMousePointer(MousePointer::Default);
}

}  // namespace pelorix::app
