#include "app/phases/component_fetch.h"

#include "app/phases/fetched_files.h"
#include "app/release/components.h"
#include "app/release/trust.h"
#include "app/run/update_context.h"
#include "files/download_source.h"

namespace pelorix::app {

namespace {

// Beside the settings, as the last accepted release is.
const QString kPartialDownloadsName = QStringLiteral("PelorixUpdater_PartialDownloads.txt");

// The SHA-256 the verified checksum list gives the file; empty without one.
QByteArray listedSha256(const UpdateContext& ctx, const ReleaseComponent& component) {
    if (!ctx.release || ctx.release->state != ReleaseTrust::State::Verified) {
        return {};
    }
    return ctx.release->manifest->manifest.digestOf(component.fileName.toString())
        .value_or(QByteArray());
}

}  // namespace

ComponentFetch::ComponentFetch(UpdateContext& ctx)
    : ctx_(ctx),
      partials_(ctx.services.files, ctx.settings.settingsFolder + "/" + kPartialDownloadsName),
      downloader_(ctx.form.commandLine, ctx.ownFolder, ctx.services.files, ctx.services.http,
                  ctx.limits.httpLimits()) {
    const auto interrupted = [&ctx] { return ctx.interruption() != 0; };
    downloader_.setAbortRequest(interrupted);
    downloader_.setPartialDownloads(&partials_);
    std::vector<files::DownloadJob> jobs;
    for (const ReleaseComponent& component : kReleaseComponents) {
        fetchedBefore_.push_back(temporaryIsListed(ctx, component));
        unchanged_.push_back(!fetchedBefore_.back() && installedCopyIsListed(ctx, component));
        jobs.push_back(unchanged_.back() || fetchedBefore_.back()
                           ? files::DownloadJob{}
                           : files::DownloadJob{component.fileName.toString(),
                                                component.temporaryPath(ctx.settings.appPath),
                                                component.minimumSize,
                                                listedSha256(ctx, component)});
    }
    const bool fromServer = !files::downloadSourceFor(ctx.form.commandLine, ctx.ownFolder).isLocal;
    if (fromServer && ctx.limits.parallelDownloads > 1 && ctx.services.newHttpClient) {
        platform::HttpLimits limits = ctx.limits.httpLimits();
        limits.abortRequested = interrupted;
        pool_ = std::make_unique<files::DownloadPool>(ctx.updateServerBase, ctx.services.files,
                                                      ctx.services.newHttpClient, limits,
                                                      ctx.limits.parallelDownloads, &partials_);
        pool_->start(std::move(jobs));
    }
}

bool ComponentFetch::obtain(std::size_t row) {
    failure_.clear();
    const ReleaseComponent& component = kReleaseComponents[row];
    if (fetchedBefore_[row]) {
        ctx_.log(component.fileName.toString() +
                 " was fetched by an earlier run and is the listed file: kept, not fetched.");
        return true;
    }
    if (unchanged_[row] &&
        takeUnchangedFile(ctx_, component, component.temporaryPath(ctx_.settings.appPath))) {
        return true;
    }
    if (!pool_ || unchanged_[row]) {
        return fetchAlone(row);
    }
    files::DownloadOutcome outcome;
    // The window keeps painting while the row's file is still on its way.
    ctx_.ui.runBlocking([&] { outcome = pool_->waitFor(row); });
    failure_ = outcome.failure;
    return outcome.ok;
}

bool ComponentFetch::fetchAlone(std::size_t row) {
    const ReleaseComponent& component = kReleaseComponents[row];
    downloader_.setListedSha256(listedSha256(ctx_, component));
    const bool ok = downloader_.DownloadFile(ctx_.updateServerBase, component.fileName.toString(),
                                             component.temporaryPath(ctx_.settings.appPath),
                                             component.minimumSize);
    failure_ = downloader_.lastFailure();
    return ok;
}

void ComponentFetch::abandonAfter(std::size_t row) {
    if (pool_) {
        pool_->cancelAfter(row);
    }
}

}  // namespace pelorix::app
