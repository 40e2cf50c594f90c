#include "app/phases/fetched_files.h"

#include "app/release/components.h"
#include "app/release/trust.h"
#include "app/replacement/plan.h"
#include "app/run/update_context.h"
#include "files/download_source.h"
#include "platform/file_system.h"

#include <QCryptographicHash>

#include <algorithm>

namespace pelorix::app {

namespace {

QString folderOf(const UpdateContext& ctx, InstallFolder folder) {
    return folder == InstallFolder::SystemFolder ? ctx.form.systemFolder : ctx.settings.appPath;
}

bool isReplaced(const RemovalRow& row) {
    return std::any_of(kReleaseComponents.begin(), kReleaseComponents.end(),
                       [&row](const ReleaseComponent& component) {
                           return component.fileName.compare(row.name, Qt::CaseInsensitive) == 0;
                       });
}

}  // namespace

QString installedPath(const UpdateContext& ctx, const ReleaseComponent& component) {
    return folderOf(ctx, component.installFolder) + "/" + component.fileName.toString();
}

QString sha256Hex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

void noteFetchedFile(UpdateContext& ctx, const ReleaseComponent& component) {
    platform::FileSystem& files = ctx.services.files;
    const platform::Fallible<QByteArray> fetched =
        files.readFile(component.temporaryPath(ctx.settings.appPath));
    // Only a file that matched the signed checksum list gets this far in a verified run.
    const bool verified = ctx.release && ctx.release->state == ReleaseTrust::State::Verified;
    FileRecord record{component.fileName.toString(), -1, {}, verified};
    if (fetched) {
        record.bytes = fetched->size();
        record.sha256 = sha256Hex(*fetched);
    }
    ctx.record.files.push_back(record);
    const platform::Fallible<QByteArray> installed = files.readFile(installedPath(ctx, component));
    if (!fetched || !installed || *installed != *fetched) {
        ctx.record.installedContentChanged = true;
    }
}

bool installedCopyIsListed(const UpdateContext& ctx, const ReleaseComponent& component) {
    if (!ctx.release || ctx.release->state != ReleaseTrust::State::Verified ||
        files::downloadSourceFor(ctx.form.commandLine, ctx.ownFolder).isLocal) {
        return false;
    }
    const QString installed = installedPath(ctx, component);
    return ctx.services.files.normalFileExists(installed) &&
           verifyDownloadedFile(ctx, *ctx.release, component.fileName.toString(), installed)
               .verified;
}

bool temporaryIsListed(const UpdateContext& ctx, const ReleaseComponent& component) {
    if (!ctx.release || ctx.release->state != ReleaseTrust::State::Verified ||
        files::downloadSourceFor(ctx.form.commandLine, ctx.ownFolder).isLocal) {
        return false;
    }
    const QString temporary = component.temporaryPath(ctx.settings.appPath);
    return ctx.services.files.normalFileExists(temporary) &&
           verifyDownloadedFile(ctx, *ctx.release, component.fileName.toString(), temporary)
               .verified;
}

bool takeUnchangedFile(UpdateContext& ctx, const ReleaseComponent& component,
                       const QString& target) {
    const QString fileName = component.fileName.toString();
    const QString installed = installedPath(ctx, component);
    if (const platform::Outcome copied = ctx.services.files.copyFile(installed, target, true);
        !copied) {
        ctx.log("Unchanged " + fileName + " not taken from " + installed + ": " + copied.reason());
        return false;
    }
    ctx.log(fileName + " is unchanged: taken from " + installed + ", not fetched.");
    return true;
}

void noteRetiredEntries(UpdateContext& ctx) {
    for (const RemovalStep& step : plan::kRemovalSteps) {
        for (const RemovalRow& row : step.rows) {
            const QString path = folderOf(ctx, row.folder) + "/" + row.name.toString();
            if (!isReplaced(row) && ctx.services.files.entryExists(path)) {
                ctx.record.installedContentChanged = true;
            }
        }
    }
}

}  // namespace pelorix::app
