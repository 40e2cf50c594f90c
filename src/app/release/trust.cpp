#include "app/release/trust.h"

#include "app/release/accepted_release_store.h"
#include "app/release/components.h"
#include "app/run/update_context.h"
#include "files/downloader.h"
#include "platform/file_system.h"

#include <QDateTime>

namespace pelorix::app {
namespace {

// Far above any real checksum list or signature; a server that sends more is not believed.
constexpr qint64 kLargestManifest = 64 * 1024;

ReleaseTrust refused(ReleaseTrust trust, const QString& reason) {
    trust.state = ReleaseTrust::State::Refused;
    trust.reason = reason;
    return trust;
}

std::optional<QString> firstExisting(const QStringList& paths, const platform::FileSystem& files) {
    for (const QString& path : paths) {
        if (files.normalFileExists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

QStringList releaseFileNames() {
    QStringList names;
    for (const ReleaseComponent& component : kReleaseComponents) {
        names << component.fileName.toString();
    }
    return names;
}

ReleaseTrust verifyRelease(const UpdateContext& ctx, ReleaseTrust trust,
                           const files::MinisignPublicKey& key) {
    files::Downloader downloader(ctx.form.commandLine, ctx.ownFolder, ctx.services.files,
                                 ctx.services.http, ctx.limits.httpLimits());
    downloader.setAbortRequest([&ctx] { return ctx.interruption() != 0; });
    const auto manifest =
        downloader.fetchSmallFile(ctx.updateServerBase, files::kManifestName, kLargestManifest);
    if (!manifest) {
        return refused(trust, "no checksum list: " + downloader.lastFailure());
    }
    const auto signature = downloader.fetchSmallFile(
        ctx.updateServerBase, files::kManifestSignatureName, kLargestManifest);
    if (!signature) {
        return refused(trust, "no signature: " + downloader.lastFailure());
    }
    files::ReleaseExpectations expected{{}, QDateTime::currentSecsSinceEpoch(), releaseFileNames()};
    QString error;
    if (!AcceptedReleaseStore(ctx.services.files, ctx.settings.settingsFolder)
             .load(expected.lastAccepted, error)) {
        return refused(trust, error);
    }
    trust.manifest = files::verifyReleaseManifest(*manifest, *signature, key, expected, error);
    if (!trust.manifest) {
        return refused(trust, files::kManifestName + ": " + error);
    }
    trust.state = ReleaseTrust::State::Verified;
    return trust;
}

}  // namespace

QStringList releaseKeyCandidates(const QString& keyPathFromEnvironment, const QString& ownFolder,
                                 const QString& systemReleaseKey) {
    QStringList candidates;
    if (!keyPathFromEnvironment.isEmpty()) {
        candidates << keyPathFromEnvironment;
    }
    candidates << ownFolder + "/" + kReleaseKeyName;
    if (!systemReleaseKey.isEmpty()) {
        candidates << systemReleaseKey;
    }
    return candidates;
}

ReleaseTrust checkReleaseTrust(const UpdateContext& ctx) {
    ReleaseTrust trust;
    const auto keyPath =
        firstExisting(releaseKeyCandidates(ctx.limits.releaseKeyPath, ctx.ownFolder,
                                           ctx.packagePlaces.systemReleaseKey),
                      ctx.services.files);
    if (!keyPath) {
        return trust;
    }
    trust.keyPath = *keyPath;
    const auto keyText = ctx.services.files.readFile(*keyPath);
    QString error = "the file cannot be read";
    const auto key = keyText ? files::MinisignPublicKey::parse(*keyText, error) : std::nullopt;
    if (!key) {
        trust.state = ReleaseTrust::State::KeyUnusable;
        trust.reason = error;
        return trust;
    }
    return verifyRelease(ctx, trust, *key);
}

bool rememberAcceptedRelease(const UpdateContext& ctx, const ReleaseTrust& trust, QString& error) {
    AcceptedReleaseStore store(ctx.services.files, ctx.settings.settingsFolder);
    if (!store.store(trust.manifest->timestamp)) {
        error = store.path() + " cannot be written";
        return false;
    }
    return true;
}

files::FileVerification verifyDownloadedFile(const UpdateContext& ctx, const ReleaseTrust& trust,
                                             const QString& fileName, const QString& path) {
    const auto content = ctx.services.files.readFile(path);
    if (!content) {
        return {{}, false, path + " cannot be read"};
    }
    return files::verifyReleaseFile(trust.manifest->manifest, fileName, *content);
}

}  // namespace pelorix::app
