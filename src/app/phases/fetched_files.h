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

// Old entries that the replacement removes and nothing replaces: one that is there is a change.
void noteRetiredEntries(UpdateContext& ctx);

}  // namespace pelorix::app
