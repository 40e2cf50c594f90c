#include "app/phases/installation_currency.h"

#include "app/phases/change_probe_database.h"
#include "app/phases/fetched_files.h"
#include "app/phases/migration.h"
#include "app/release/components.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "files/release_manifest.h"
#include "platform/file_system.h"
#include "schema/schema_operations.h"

namespace pelorix::app {

namespace {

// The first release file whose installed content is not the one listed; empty when none.
QString firstDifferingFile(const UpdateContext& ctx) {
    const files::ReleaseManifest& manifest = ctx.release->manifest->manifest;
    for (const ReleaseComponent& component : kReleaseComponents) {
        const QString name = component.fileName.toString();
        const std::optional<QByteArray> listed = manifest.digestOf(name);
        const platform::Fallible<QByteArray> installed =
            ctx.services.files.readFile(installedPath(ctx, component));
        if (!listed || !installed || files::sha256Of(*installed) != *listed) {
            return installedPath(ctx, component) + " differs from the release";
        }
    }
    return {};
}

// The first statement the migration would change the database with; empty when none.
QString firstDatabaseChange(UpdateContext& ctx) {
    ChangeProbeDatabase database(ctx.services.database, ctx.form.isSqlServer);
    database.beginRun(ctx.limits.database);
    schema::SchemaOperations operations({ctx.form.connectionString, ctx.form.isSqlServer, false},
                                        database, {});
    runMigrationScript(ctx, operations);
    if (operations.failed()) {
        return "the database cannot be checked";
    }
    return database.changes().isEmpty()
               ? QString()
               : "the database is not current (" + database.changes().front() + ")";
}

QString firstDifference(UpdateContext& ctx) {
    if (ctx.form.updateDatabaseOnlyCheck != 1) {
        if (QString file = firstDifferingFile(ctx); !file.isEmpty()) {
            return file;
        }
        // Asked through the record, which must still say "unchanged" if the update then fails.
        const bool changedBefore = ctx.record.installedContentChanged;
        noteRetiredEntries(ctx);
        const bool retiredEntryFound = ctx.record.installedContentChanged;
        ctx.record.installedContentChanged = changedBefore;
        if (retiredEntryFound) {
            return "an old entry of an earlier release is still installed";
        }
    }
    return firstDatabaseChange(ctx);
}

}  // namespace

bool installationIsCurrent(UpdateContext& ctx) {
    const bool full = ctx.form.updateDatabaseOnlyCheck != 1;
    if (full && (!ctx.release || ctx.release->state != ReleaseTrust::State::Verified)) {
        ctx.status.showLine(
            "--if-needed: without a trusted release key the installation cannot be compared "
            "with the release; the full update runs.");
        return false;
    }
    const QString difference = firstDifference(ctx);
    if (!difference.isEmpty()) {
        ctx.status.showLine("--if-needed: " + difference + "; the update runs.");
        return false;
    }
    ctx.status.showLine(full ? "--if-needed: the installation is current; nothing to do."
                             : "--if-needed: the database is current; nothing to do.");
    ctx.ui.setMousePointer(MousePointer::Default);
    return true;
}

}  // namespace pelorix::app
