#pragma once

#include <QByteArray>
#include <QString>

namespace pelorix::app {

struct ReleaseComponent;
struct UpdateContext;

// Where the component is installed on this machine.
QString installedPath(const UpdateContext& ctx, const ReleaseComponent& component);

// Hex SHA-256 of the bytes.
QString sha256Hex(const QByteArray& bytes);

// Notes a fetched file for the report (size and SHA-256 of the bytes under its temporary name)
// and whether installing it changes the content of the installation: a file installed with the
// same bytes changes nothing.
void noteFetchedFile(UpdateContext& ctx, const ReleaseComponent& component);

// With a verified checksum list and the update server as the source: the installed copy already
// has the listed SHA-256.
bool installedCopyIsListed(const UpdateContext& ctx, const ReleaseComponent& component);
// Such a copy is copied to `target` instead of being fetched again (and held against the list
// there, as a fetched file is). False when it could not be copied: the file is then fetched.
bool takeUnchangedFile(UpdateContext& ctx, const ReleaseComponent& component,
                       const QString& target);

// With a verified checksum list: the file under its temporary name, left by an earlier run that
// fetched it, already is the listed one.
bool temporaryIsListed(const UpdateContext& ctx, const ReleaseComponent& component);

// Old entries that the replacement removes and nothing replaces: one that is there is a change.
void noteRetiredEntries(UpdateContext& ctx);

}  // namespace pelorix::app
