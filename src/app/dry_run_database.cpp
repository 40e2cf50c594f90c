#include "app/dry_run_database.h"

namespace pelorix::app {

namespace {

QString sqlLiteral(const QVariant& value) {
    if (value.isNull()) {
        return QStringLiteral("NULL");
    }
    if (value.typeId() == QMetaType::QString) {
        return "'" + value.toString().replace("'", "''") + "'";
    }
    return value.toString();
}

}  // namespace

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
    QStringList columns;
    QStringList literals;
    for (const platform::FieldValue& field : values) {
        columns << field.column;
        literals << sqlLiteral(field.value);
    }
    statements_ << "INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" +
                       literals.join(", ") + ")";
    return {true, {}, 1};
}

}  // namespace pelorix::app
