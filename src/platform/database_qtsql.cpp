#include "platform/database_qtsql.h"

#include "platform/database_connection.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace pelorix::platform {

using namespace Qt::StringLiterals;

QtSqlDatabase::QtSqlDatabase() : QtSqlDatabase(Options{}) {}

QtSqlDatabase::QtSqlDatabase(Options options) : options_(options) {}

DbResult QtSqlDatabase::execute(const QString& connectionString, const QString& statement) {
    DatabaseConnection connection(connectionString, options_);
    if (!connection.isOpen()) {
        return {false, connection.error()};
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(connection.engineStatement(statement))) {
        return {false, describeError(query.lastError())};
    }
    return {true, {}, query.numRowsAffected()};
}

QueryResult QtSqlDatabase::query(const QString& connectionString, const QString& statement) {
    return run(connectionString, statement, true);
}

QueryResult QtSqlDatabase::columns(const QString& connectionString, const QString& statement) {
    return run(connectionString, statement, false);
}

QueryResult QtSqlDatabase::run(const QString& connectionString, const QString& statement,
                               bool readRows) {
    QueryResult result;
    DatabaseConnection connection(connectionString, options_);
    if (!connection.isOpen()) {
        result.error = connection.error();
        return result;
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(connection.engineStatement(statement))) {
        result.error = describeError(query.lastError());
        return result;
    }
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        result.columns << record.fieldName(i);
    }
    while (readRows && query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i) {
            row << query.value(i);
        }
        result.rows.push_back(std::move(row));
    }
    // A walk that stops early because the database failed is a failure, not the end.
    if (query.lastError().isValid()) {
        result.error = describeError(query.lastError());
        result.rows.clear();
        return result;
    }
    result.ok = true;
    return result;
}

DbResult QtSqlDatabase::appendRow(const QString& connectionString, const QString& table,
                                  const std::vector<FieldValue>& values) {
    DatabaseConnection connection(connectionString, options_);
    if (!connection.isOpen()) {
        return {false, connection.error()};
    }
    const QSqlDriver* driver = connection.database().driver();
    QStringList columns;
    QStringList placeholders;
    for (const FieldValue& field : values) {
        columns << driver->escapeIdentifier(field.column, QSqlDriver::FieldName);
        placeholders << u"?"_s;
    }
    QSqlQuery query(connection.database());
    const QString insert = values.empty()
                               ? u"INSERT INTO "_s + table + u" DEFAULT VALUES"_s
                               : u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) +
                                     u") VALUES ("_s + placeholders.join(u", "_s) + u")"_s;
    if (!query.prepare(insert)) {
        return {false, describeError(query.lastError())};
    }
    for (const FieldValue& field : values) {
        query.addBindValue(field.value);
    }
    if (!query.exec()) {
        return {false, describeError(query.lastError())};
    }
    return {true, {}};
}

Database& defaultDatabase() {
    static QtSqlDatabase database;
    return database;
}

}  // namespace pelorix::platform
