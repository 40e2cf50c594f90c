#include "recording_database.h"

#include "platform/database/jet_sqlite_types.h"
#include "platform/database/row_statement.h"

namespace pelorix::bench {

platform::DbResult RecordingDatabase::execute(const QString& connection, const QString& statement) {
    statements_ << platform::jetTypesToSqlite(statement);
    return target_.execute(connection, statement);
}

platform::QueryResult RecordingDatabase::query(const QString& connection,
                                               const QString& statement) {
    statements_ << statement;
    return target_.query(connection, statement);
}

platform::DbResult RecordingDatabase::appendRow(const QString& connection, const QString& table,
                                                const std::vector<platform::FieldValue>& values) {
    statements_ << platform::insertStatement(table, values, platform::ColumnNames::Bracketed);
    return target_.appendRow(connection, table, values);
}

}  // namespace pelorix::bench
