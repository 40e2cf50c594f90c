#include "platform/database/database_qtsql.h"

#include "platform/database/database_connection.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <utility>

namespace pelorix::platform {

using namespace Qt::StringLiterals;

namespace {

// SQLite's driver binds only int, long long, double and text as such; a 16-bit number would
// become text, which equals no number in a column without numeric affinity.
QVariant bindable(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return value.toInt();
        default:
            return value;
    }
}

}  // namespace

QtSqlDatabase::QtSqlDatabase(FileSystem& files) : QtSqlDatabase(files, Options{}) {}

QtSqlDatabase::QtSqlDatabase(FileSystem& files, Options options)
    : files_(files), options_(std::move(options)) {}

void QtSqlDatabase::beginRun(const DatabaseLimits& limits) {
    options_.odbc = limits;
    unansweredConnection_.clear();
    unansweredError_.clear();
}

std::unique_ptr<DatabaseConnection> QtSqlDatabase::connect(const QString& connectionString,
                                                           QString& error) {
    if (!unansweredConnection_.isNull() && connectionString == unansweredConnection_) {
        error = unansweredError_;
        return nullptr;
    }
    auto connection = std::make_unique<DatabaseConnection>(connectionString, options_, files_);
    if (connection->isOpen()) {
        return connection;
    }
    error = connection->error();
    if (connection->timedOut()) {
        unansweredConnection_ = connectionString;
        unansweredError_ = error;
    }
    return nullptr;
}

DbResult QtSqlDatabase::execute(const QString& connectionString, const QString& statement) {
    QString error;
    const auto connection = connect(connectionString, error);
    if (!connection) {
        return {false, error};
    }
    QSqlQuery query(connection->database());
    query.setForwardOnly(true);
    if (!connection->run(query, statement)) {
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
    const auto connection = connect(connectionString, result.error);
    if (!connection) {
        return result;
    }
    QSqlQuery query(connection->database());
    query.setForwardOnly(true);
    if (!connection->run(query, statement)) {
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
    QString error;
    const auto connection = connect(connectionString, error);
    if (!connection) {
        return {false, error};
    }
    const QSqlDriver* driver = connection->database().driver();
    QStringList columns;
    QStringList placeholders;
    for (const FieldValue& field : values) {
        columns << driver->escapeIdentifier(field.column, QSqlDriver::FieldName);
        placeholders << u"?"_s;
    }
    QSqlQuery query(connection->database());
    const QString insert = values.empty()
                               ? u"INSERT INTO "_s + table + u" DEFAULT VALUES"_s
                               : u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) +
                                     u") VALUES ("_s + placeholders.join(u", "_s) + u")"_s;
    if (!connection->prepare(query, insert)) {
        return {false, describeError(query.lastError())};
    }
    for (const FieldValue& field : values) {
        query.addBindValue(bindable(field.value));
    }
    if (!connection->execPrepared(query)) {
        return {false, describeError(query.lastError())};
    }
    return {true, {}};
}

}  // namespace pelorix::platform
