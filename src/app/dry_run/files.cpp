// The part of the dry run that looks at the release files and the folders they go to.

#include "app/dry_run/dry_run.h"

#include "app/phases/fetched_files.h"
#include "app/phases/registrar.h"
#include "app/release/components.h"
#include "app/release/trust.h"
#include "app/run/update_context.h"
#include "files/download_source.h"
#include "files/downloader.h"
#include "files/release_manifest.h"
#include "platform/file_system.h"
#include "platform/http_client.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace pelorix::app {

namespace {

constexpr int kGeneralFailure = 1;
constexpr int kDownloadError = 7;

}  // namespace

// The checksum list is judged as the real run judges it before any service stops.
void DryRun::checkRelease() {
    release_ = checkReleaseTrust(ctx_);
    switch (release_.state) {
        case ReleaseTrust::State::NoKey:
            note("Signed checksum list", "not checked: no trusted release key");
            break;
        case ReleaseTrust::State::KeyUnusable:
            check("Signed checksum list", false, release_.keyPath + ": " + release_.reason,
                  kGeneralFailure);
            break;
        case ReleaseTrust::State::Refused:
            check("Signed checksum list", false, release_.reason, kDownloadError);
            break;
        case ReleaseTrust::State::Verified:
            check("Signed checksum list", true, "verifies with the key " + release_.keyPath,
                  kDownloadError);
            break;
    }
}

QByteArray DryRun::listedDigest(const QString& fileName) const {
    if (release_.state != ReleaseTrust::State::Verified || !release_.manifest) {
        return {};
    }
    return release_.manifest->manifest.digestOf(fileName).value_or(QByteArray());
}

void DryRun::checkFiles() {
    const files::DownloadSource source =
        files::downloadSourceFor(ctx_.form.commandLine, ctx_.ownFolder);
    note("Release files from", source.isLocal ? "the folder " + source.localFolder
                                              : "the update server " + ctx_.updateServerBase);
    for (const ReleaseComponent& component : kReleaseComponents) {
        if (source.isLocal) {
            checkLocalFile(source.localFolder, component);
        } else {
            checkServerFile(component);
        }
    }
}

// Moved, not fetched: only its presence counts, and its content can be compared.
void DryRun::checkLocalFile(const QString& folder, const ReleaseComponent& component) {
    platform::FileSystem& files = ctx_.services.files;
    const QString name = component.fileName.toString();
    const QString path = folder + "/" + name;
    if (!files.normalFileExists(path)) {
        check("File " + name, false, path + " is missing", kDownloadError);
        return;
    }
    const platform::Fallible<QByteArray> bytes = files.readFile(path);
    FileRecord record{name, -1, {}, false};
    if (bytes) {
        record.bytes = bytes->size();
        record.sha256 = sha256Hex(*bytes);
        bytesNeeded_ += bytes->size();
    }
    const QByteArray listed = listedDigest(name);
    record.verified = !listed.isEmpty() && record.sha256 == QString::fromLatin1(listed.toHex());
    ctx_.record.files.push_back(record);
    const platform::Fallible<QByteArray> installed = files.readFile(installedPath(ctx_, component));
    const bool same = bytes && installed && *bytes == *installed;
    ctx_.record.wouldChange = ctx_.record.wouldChange || !same;
    if (release_.state == ReleaseTrust::State::Verified && !record.verified) {
        check("File " + name, false, path + " does not match the signed checksum list",
              kDownloadError);
        return;
    }
    check("File " + name, true,
          QStringLiteral("%1 bytes in the folder, %2")
              .arg(record.bytes)
              .arg(same ? "as installed" : "differs from the installed one"),
          kDownloadError);
}

// Asked for its size only. Without the body its content is compared with the installed file
// only through a verified checksum list; without one it counts as a change.
void DryRun::checkServerFile(const ReleaseComponent& component) {
    const QString name = component.fileName.toString();
    const QByteArray listed = listedDigest(name);
    if (release_.state == ReleaseTrust::State::Verified && listed.isEmpty()) {
        ctx_.record.files.push_back({name, -1, {}, false});
        check("File " + name, false, "not in the signed checksum list", kDownloadError);
        return;
    }
    platform::HttpLimits limits;
    limits.connectTimeout = ctx_.limits.downloadStall;
    limits.stallTimeout = ctx_.limits.downloadStall;
    const platform::HttpSizeResult size =
        ctx_.services.http.size(ctx_.updateServerBase + "/" + name, limits);
    ctx_.record.files.push_back(
        {name, size.ok() ? size.bytes : -1, QString::fromLatin1(listed.toHex()), false});
    const platform::Fallible<QByteArray> installed =
        ctx_.services.files.readFile(installedPath(ctx_, component));
    const bool same = !listed.isEmpty() && installed && files::sha256Of(*installed) == listed;
    ctx_.record.wouldChange = ctx_.record.wouldChange || !same;
    if (!size.ok()) {
        check("File " + name, false, size.error, kDownloadError);
        return;
    }
    if (size.bytes < 0) {
        check("File " + name, true, "size not announced by the server", kDownloadError);
        return;
    }
    bytesNeeded_ += size.bytes;
    const bool accepted = files::Downloader::acceptsBodyLength(size.bytes, component.minimumSize);
    check("File " + name, accepted,
          QStringLiteral("%1 bytes on the server%2")
              .arg(size.bytes)
              .arg(accepted ? "" : ", too small to be accepted"),
          kDownloadError);
}

void DryRun::checkFolders() {
    // The files arrive in the program folder first; the libraries then move to the system folder.
    const QString& appPath = ctx_.settings.appPath;
    const QString& systemFolder = ctx_.form.systemFolder;
    const bool appWritable = QFileInfo(ctx_.services.files.resolve(appPath)).isWritable();
    check("Write access", appWritable, "program folder " + appPath, kDownloadError);
    const bool systemWritable = QFileInfo(ctx_.services.files.resolve(systemFolder)).isWritable();
    check("Write access", systemWritable, "system folder " + systemFolder, kGeneralFailure);
}

void DryRun::checkFreeSpace() {
    const QStorageInfo storage(ctx_.services.files.resolve(ctx_.settings.appPath));
    const qint64 available = storage.isValid() ? storage.bytesAvailable() : -1;
    check("Free space", available >= bytesNeeded_,
          QStringLiteral("%1 bytes free in the program folder, %2 needed")
              .arg(available)
              .arg(bytesNeeded_),
          kDownloadError);
}

void DryRun::checkRegistrar() {
    const QString registrar =
        findRegistrar(ctx_.packagePlaces.privateProgramFolder, ctx_.ownFolder);
    // Without a folder in it, the name is what is left when no registrar was found.
    const bool found = registrar.contains('/');
    check("Registrar", found, found ? registrar : registrar + " not found", kGeneralFailure);
}

}  // namespace pelorix::app
