#pragma once

#include "app/run/release_trust.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pelorix::app {

struct UpdateContext;

// The key file looked for beside the updater.
inline const QString kReleaseKeyName = QStringLiteral("PelorixUpdater.pub");

// Where the trusted release key is looked for, in order: the one the environment names, the one
// beside the updater, the system's (empty where the system has no place for one); the first file
// that exists is used.
QStringList releaseKeyCandidates(const QString& keyPathFromEnvironment, const QString& ownFolder,
                                 const QString& systemReleaseKey);

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
