#include "app/phases/download.h"

#include "app/phases/component_fetch.h"
#include "app/phases/download_error.h"
#include "app/phases/fetched_files.h"
#include "app/phases/release_check.h"
#include "app/release/components.h"
#include "app/release/trust.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "files/download_source.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>

namespace pelorix::app {

namespace {

// With a verified checksum list every file must match it; without a key nothing is checked.
// Empty when the file may be installed, otherwise why it is refused.
QString refusalOf(const UpdateContext& ctx, const QString& fileName, const QString& path) {
    if (ctx.release->state != ReleaseTrust::State::Verified) {
        return {};
    }
    const files::FileVerification verification =
        verifyDownloadedFile(ctx, *ctx.release, fileName, path);
    if (!verification.verified) {
        ctx.log("Download of " + fileName + " failed: " + verification.failure);
    }
    return verification.verified ? QString() : verification.failure;
}

// An empty folder joins to paths in the root; so does a root ("/", "C:/") or a link to one.
bool isRootFolder(const QString& folder, const platform::FileSystem& files) {
    const QString canonical = QFileInfo(files.resolve(folder)).canonicalFilePath();
    return folder.isEmpty() || QDir(QDir::cleanPath(folder)).isRoot() ||
           (!canonical.isEmpty() && QDir(canonical).isRoot());
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

QString installFolderOf(const UpdateContext& ctx, const ReleaseComponent& component) {
    return component.installFolder == InstallFolder::SystemFolder ? ctx.form.systemFolder
                                                                  : ctx.settings.appPath;
}

bool sameFolder(const platform::FileSystem& files, const QString& a, const QString& b) {
    const QString first = QFileInfo(files.resolve(a)).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(files.resolve(b)).canonicalFilePath();
}

}  // namespace

RunOutcome runComponentDownload(UpdateContext& ctx) {
    if (!installFoldersAreSafe(ctx)) {
        return ctx.generalFailureExit();
    }
    // A run that started as database-only and was switched to a full one is judged now.
    if (!ctx.release) {
        const RunOutcome outcome = runReleaseCheck(ctx);
        if (outcome != RunOutcome::Continue) {
            return outcome;
        }
    }
    ComponentFetch fetch(ctx);
    for (std::size_t row = 0; row < kReleaseComponents.size(); ++row) {
        const ReleaseComponent& component = kReleaseComponents[row];
        const QString fileName = component.fileName.toString();
        const QString target = component.temporaryPath(ctx.settings.appPath);
        if (ctx.interruption() != 0) {
            fetch.abandonAfter(row);
            return ctx.interruptedExit("before the download of " + fileName);
        }
        ctx.status.openStep(ctx.tr(component.statusText.toString()));
        if (!fetch.obtain(row)) {
            fetch.abandonAfter(row);
            if (ctx.interruption() != 0) {
                return ctx.interruptedExit("during the download of " + fileName);
            }
            ctx.log("Download of " + fileName + " failed: " + fetch.failure());
            ShowDownloadError(ctx);
            return RunOutcome::DownloadError;
        }
        if (const QString refusal = refusalOf(ctx, fileName, target); !refusal.isEmpty()) {
            fetch.abandonAfter(row);
            ShowDownloadError(ctx, refusal);
            return RunOutcome::DownloadError;
        }
        noteFetchedFile(ctx, component);
        ctx.status.closeStep("OK");
    }
    return RunOutcome::Continue;
}

QStringList localReleaseFiles(const UpdateContext& ctx) {
    const files::DownloadSource source =
        files::downloadSourceFor(ctx.form.commandLine, ctx.ownFolder);
    QStringList paths;
    if (!source.isLocal) {
        return paths;
    }
    for (const ReleaseComponent& component : kReleaseComponents) {
        if (!sameFolder(ctx.services.files, source.localFolder, installFolderOf(ctx, component))) {
            paths << QFileInfo(source.localFolder + "/" + component.fileName.toString())
                         .absoluteFilePath();
        }
    }
    return paths;
}

}  // namespace pelorix::app
