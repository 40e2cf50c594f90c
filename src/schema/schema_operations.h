#pragma once

#include "platform/database.h"

#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <functional>

namespace pelorix::schema {

// The window's state that the operations work with.
struct SchemaSettings {
    QString connectionString;
    bool isSqlServer = false;  // statements go through ConvertSQL
    bool updateLog = false;    // trace and error lines are written only when set
};

// Writes one debug-log entry (no header line).
using DebugLogWriter = std::function<void(const QString&)>;

// A session of the idempotent schema changes of the migration, each complete in itself: every
// statement opens its own connection, and failures are caught here. They reach the caller only
// through the results and failed(), which a database error sets and nothing clears.
class SchemaOperations {
  public:
    SchemaOperations(SchemaSettings settings, platform::Database& database,
                     DebugLogWriter writeDebugLog);

    // True once an operation met a database error that it does not merely log.
    bool failed() const { return failed_; }

    // True when the column was added; an empty type means "integer".
    bool AddColumn(const QString& table, const QString& columnName,
                   const QString& columnType = QString());
    // True when the table was created; the definition is the column list without parentheses.
    bool AddTable(const QString& table, const QString& columnDefinition);
    // "ALTER TABLE <table> <sql>"; failures are only logged (the original returned 0 whatever
    // happened).
    void AlterTable(const QString& table, const QString& sql);
    // "UPDATE <table> <sql>"; failures are only logged (the original returned 1 whatever
    // happened).
    void UpdateTable(const QString& table, const QString& sql);
    // An index named after the column; failures (an existing index) are only logged (the
    // original returned 1 whatever happened).
    void CreateIndex(const QString& table, const QString& column, bool isUnique);
    // Drops the first SQL Server default constraint whose name mentions the column's first
    // four characters; does nothing elsewhere.
    void DropDefault(const QString& table, const QString& column);

    // True when tblTypes lacked a row for the ID and one was added for it; as in the original,
    // also when storing that row failed (the session has then failed). Nothing is added to a
    // tblTypes without rows.
    bool AddPrinterType(qint16 row1, const QString& row2);
    // True when the version stored in tblConfig is smaller than the given one; false when none
    // can be read.
    bool CheckDBVersionSmaller(const QString& version);

    // How many statements changed the database: columns, tables and device types added, an
    // index created, an UPDATE that changed rows (or did not say how many). Column alterations
    // are not counted: one to the type a column has already changes nothing, and the database
    // does not tell the two apart.
    int changesMade() const { return changesMade_; }

  private:
    QString convert(const QString& statement) const;
    void log(const QString& message) const;
    // Runs a statement whose failure is logged with the prefix and otherwise ignored.
    platform::DbResult executeIgnoringFailure(const QString& statement, const QString& errorPrefix);
    // Logs the failure and marks the session failed; answers `counted` as the operation's result.
    bool fail(const QString& errorPrefix, const QString& description, bool counted = false);

    SchemaSettings settings_;
    platform::Database& database_;
    DebugLogWriter writeDebugLog_;
    bool failed_ = false;
    int changesMade_ = 0;
};

// The value itself, or the default when it is NULL.
QVariant NullToDefault(const QVariant& value, const QVariant& defaultValue);

}  // namespace pelorix::schema
