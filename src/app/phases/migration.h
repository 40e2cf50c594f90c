#pragma once

#include "app/run/outcome.h"

#include <QtGlobal>

namespace pelorix::schema {
class SchemaOperations;
}

namespace pelorix::app {

struct UpdateContext;

struct MigrationTotals {
    qint16 nc = 0;  // columns added
    qint16 nd = 0;  // device types added
    qint16 nt = 0;  // tables created
};

// The fixed, re-runnable migration script over the given operations, with its totals.
MigrationTotals runMigrationScript(UpdateContext& ctx, schema::SchemaOperations& operations);

// The database migration script: Continue to the download, SkipToCompletion for a
// database-only run, DatabaseError after its message.
RunOutcome runMigration(UpdateContext& ctx);

}  // namespace pelorix::app
