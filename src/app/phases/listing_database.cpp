#include "app/phases/listing_database.h"

#include "platform/database/row_statement.h"

namespace pelorix::app {

platform::DbResult ListingDatabase::execute(const QString&, const QString& statement) {
    statements_ << statement;
    return {true, {}, -1};
}

platform::QueryResult ListingDatabase::query(const QString& connectionString,
                                             const QString& statement) {
    return real_.query(connectionString, statement);
}

platform::QueryResult ListingDatabase::columns(const QString& connectionString,
                                               const QString& statement) {
    return real_.columns(connectionString, statement);
}

platform::DbResult ListingDatabase::appendRow(const QString&, const QString& table,
                                              const std::vector<platform::FieldValue>& values) {
    statements_ << platform::insertStatement(table, values, platform::ColumnNames::AsGiven);
    return {true, {}, 1};
}

}  // namespace pelorix::app
