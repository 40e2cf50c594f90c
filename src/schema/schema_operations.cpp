#include "schema/schema_operations.h"

#include "platform/database.h"
#include "schema/convert_sql.h"

#include <utility>

namespace pelorix::schema {

using namespace Qt::StringLiterals;

SchemaOperations::SchemaOperations(SchemaSettings settings, platform::Database& database,
                                   DebugLogWriter writeDebugLog)
    : settings_(std::move(settings)),
      database_(database),
      writeDebugLog_(std::move(writeDebugLog)) {}

QString SchemaOperations::convert(const QString& statement) const {
    return ConvertSQL(statement, settings_.isSqlServer);
}

void SchemaOperations::log(const QString& message) const {
    if (settings_.updateLog && writeDebugLog_) {
        writeDebugLog_(message);
    }
}

bool SchemaOperations::fail(const QString& errorPrefix, const QString& description, bool counted) {
    log(errorPrefix + description);
    failed_ = true;
    return counted;
}

platform::DbResult SchemaOperations::executeIgnoringFailure(const QString& statement,
                                                            const QString& errorPrefix) {
    const QString converted = convert(statement);
    log(converted);
    const platform::DbResult result = database_.execute(settings_.connectionString, converted);
    if (!result.ok) {
        log(errorPrefix + result.error);
    }
    return result;
}

bool SchemaOperations::AddColumn(const QString& table, const QString& columnName,
                                 const QString& columnType) {
    const QString type = columnType.isEmpty() ? u"integer"_s : columnType;
    log(u"AddColumn. Table: "_s + table + u", Column: "_s + columnName + u", ColumnType: "_s +
        type);
    const platform::QueryResult probe =
        database_.columns(settings_.connectionString, convert(u"Select * from "_s + table));
    if (!probe.ok) {
        return fail(u"Database error: "_s, probe.error);
    }
    // Column names compare exactly: a column under another capitalisation is not found here,
    // and the database then rejects the addition.
    if (probe.columns.contains(columnName, Qt::CaseSensitive)) {
        return false;
    }
    const QString alter = u"ALTER TABLE "_s + table + u" ADD ["_s + columnName + u"] "_s + type;
    const platform::DbResult added = database_.execute(settings_.connectionString, convert(alter));
    if (!added.ok) {
        return fail(u"Database error: "_s, added.error);
    }
    ++changesMade_;
    return true;
}

bool SchemaOperations::AddTable(const QString& table, const QString& columnDefinition) {
    const platform::QueryResult probe =
        database_.columns(settings_.connectionString, convert(u"Select * from "_s + table));
    if (probe.ok) {
        return false;
    }
    // Whatever made the probe fail, the table counts as missing.
    const QString create =
        convert(u"CREATE TABLE "_s + table + u" ("_s + columnDefinition + u");"_s);
    log(create);
    const platform::DbResult created = database_.execute(settings_.connectionString, create);
    if (!created.ok) {
        return fail(u"Database error (add table): "_s, created.error);
    }
    ++changesMade_;
    return true;
}

void SchemaOperations::AlterTable(const QString& table, const QString& sql) {
    executeIgnoringFailure(u"ALTER TABLE "_s + table + u" "_s + sql,
                           u"Database error (alter table): "_s);
}

void SchemaOperations::UpdateTable(const QString& table, const QString& sql) {
    const platform::DbResult updated = executeIgnoringFailure(u"UPDATE "_s + table + u" "_s + sql,
                                                              u"Database error (update table): "_s);
    if (updated.ok && updated.rowsAffected != 0) {
        ++changesMade_;
    }
}

void SchemaOperations::CreateIndex(const QString& table, const QString& column, bool isUnique) {
    const QString statement = u"CREATE "_s + (isUnique ? u" UNIQUE "_s : QString()) + u"Index "_s +
                              column + u" ON ["_s + table + u"] (["_s + column + u"])"_s;
    if (executeIgnoringFailure(statement, u"Database error (Create index on table): "_s).ok) {
        ++changesMade_;
    }
}

void SchemaOperations::DropDefault(const QString& table, const QString& column) {
    const QString lookup = u"SELECT name from sysobjects where name like 'df%' and name like '%"_s +
                           column.left(4) + u"%'"_s;
    const platform::QueryResult found = database_.query(settings_.connectionString, lookup);
    QString constraint;
    if (found.ok && !found.rows.empty() && !found.rows.front().isEmpty()) {
        constraint = found.rows.front().front().toString();
    }
    if (constraint.isEmpty()) {
        return;
    }
    const QString drop = u"ALTER TABLE "_s + table + u" DROP "_s + constraint;
    log(drop);
    const platform::DbResult dropped = database_.execute(settings_.connectionString, drop);
    if (!dropped.ok) {
        log(u"Database error (drop default): "_s + dropped.error);
    }
}

}  // namespace pelorix::schema
