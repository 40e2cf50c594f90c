#include "recording_database.h"

#include "platform/jet_sqlite_types.h"

namespace pelorix::bench {

namespace {

QString literal(const QVariant& value) {
    if (value.isNull()) {
        return QStringLiteral("NULL");
    }
    if (value.typeId() == QMetaType::QString) {
        return "'" + value.toString().replace("'", "''") + "'";
    }
    return value.toString();
}

}  // namespace

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
    QStringList columns;
    QStringList literals;
    for (const platform::FieldValue& field : values) {
        columns << "[" + field.column + "]";
        literals << literal(field.value);
    }
    statements_ << "INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" +
                       literals.join(", ") + ")";
    return target_.appendRow(connection, table, values);
}

}  // namespace pelorix::bench
