#pragma once

#include "app/run/outcome.h"

#include <QString>

namespace pelorix::platform {
class Database;
}

namespace pelorix::bench {

// One run of the program's migration script on the database file, headless and without
// tracing, through the given database layer.
app::RunOutcome runMigrationOn(const QString& databaseFile, const QString& scratchFolder,
                               platform::Database& database);

}  // namespace pelorix::bench
