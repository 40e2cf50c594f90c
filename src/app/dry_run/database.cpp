#include "app/dry_run/database.h"

#include "platform/database/row_statement.h"

namespace pelorix::app {

platform::DbResult DryRunDatabase::execute(const QString&, const QString& statement) {
    statements_ << statement;
    return {true, {}, -1};
}

platform::QueryResult DryRunDatabase::query(const QString& connectionString,
                                            const QString& statement) {
    return real_.query(connectionString, statement);
}

platform::QueryResult DryRunDatabase::columns(const QString& connectionString,
                                              const QString& statement) {
    return real_.columns(connectionString, statement);
}

platform::DbResult DryRunDatabase::appendRow(const QString&, const QString& table,
                                             const std::vector<platform::FieldValue>& values) {
    statements_ << platform::insertStatement(table, values, platform::ColumnNames::AsGiven);
    return {true, {}, 1};
}

}  // namespace pelorix::app
