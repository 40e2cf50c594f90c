#pragma once

#include "files/release_verification.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pelorix::app {

struct UpdateContext;

// The key file looked for beside the updater and in the system's configuration.
inline const QString kReleaseKeyName = QStringLiteral("PelorixUpdater.pub");
inline const QString kSystemReleaseKey = QStringLiteral("/etc/pelorix-updater/PelorixUpdater.pub");

// Where the trusted release key is looked for, in order; the first file that exists is used.
QStringList releaseKeyCandidates(const QString& keyPathFromEnvironment, const QString& ownFolder);

// Whether the release on the server (or in the local folder) is one the updater may install.
struct ReleaseTrust {
    enum class State {
        NoKey,        // no trusted key: the release is installed unverified, as always
        KeyUnusable,  // a key file exists but is no minisign public key
        Refused,      // the checksum list or its signature is missing, wrong or too old
        Verified,     // every file must match `manifest`
    };
    State state = State::NoKey;
    QString keyPath;
    QString reason;  // why the key is unusable or the release refused
    std::optional<files::VerifiedManifest> manifest;
};

// Looks up the trusted key, fetches the checksum list and its signature and verifies them
// against the key and the last accepted timestamp. Changes nothing, so a run that only looks
// can call it too.
ReleaseTrust checkReleaseTrust(const UpdateContext& ctx);

// Remembers the verified list's timestamp as the last one accepted; false and `error` when it
// cannot be stored.
bool rememberAcceptedRelease(const UpdateContext& ctx, const ReleaseTrust& trust, QString& error);

// A downloaded release file held against the verified list (`trust` must be Verified).
files::FileVerification verifyDownloadedFile(const UpdateContext& ctx, const ReleaseTrust& trust,
                                             const QString& fileName, const QString& path);

}  // namespace pelorix::app
