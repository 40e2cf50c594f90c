#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace pelorix::bench {

// Runs the statements with the sqlite3 shell in one process on the database file and returns
// the time from its start to its end, or nothing when it could not be run.
std::optional<std::chrono::nanoseconds> timeSqliteShell(const QString& databaseFile,
                                                        const QStringList& statements);

}  // namespace pelorix::bench
