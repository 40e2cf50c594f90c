#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>
#include <vector>

namespace pelorix::platform {

// How long statements over ODBC may take. The embedded file is local: it only waits briefly for
// a lock of another program (see QtSqlDatabase::Options).
struct DatabaseLimits {
    // Each statement's run, as ADO's default command time-out.
    std::chrono::seconds statementTimeout{30};
    // Opening a connection, unless the connection string gives "Connect Timeout".
    std::chrono::seconds connectTimeout{5};
};

// The outcome of a statement that returns no rows.
struct DbResult {
    bool ok = false;
    QString error;             // the driver's description of the failure
    qint64 rowsAffected = -1;  // rows an UPDATE, INSERT or DELETE changed; -1 when not known
};

// A query read from its first row to its last.
struct QueryResult {
    bool ok = false;
    QString error;
    QStringList columns;             // known also when no row matched
    std::vector<QVariantList> rows;  // a NULL value is a null QVariant
};

// One value of a row to append, bound to the named column.
struct FieldValue {
    QString column;
    QVariant value;
};

// The database as the program reaches it: statements on the database named by an ADO
// connection string. Every call opens a connection of its own from the string and releases it
// before returning; nothing is kept between calls and no transaction spans them. No call
// throws or waits without end: a database that cannot be reached, a rejected statement and a
// lock that does not go away are failures with the driver's description.
class Database {
  public:
    virtual ~Database() = default;

    // Starts a run of statements (one migration) under these limits. Once a server has not
    // answered a connection within its limit, the later statements of the run on the same
    // connection string fail at once with that failure; a new run tries the server again.
    virtual void beginRun(const DatabaseLimits& /*limits*/) {}

    virtual DbResult execute(const QString& connectionString, const QString& statement) = 0;
    virtual QueryResult query(const QString& connectionString, const QString& statement) = 0;
    // The column names of a query's result without reading its rows: probing a table must not
    // cost more as the table grows.
    virtual QueryResult columns(const QString& connectionString, const QString& statement) {
        QueryResult result = query(connectionString, statement);
        result.rows.clear();
        return result;
    }
    // Appends one row to the table; columns not named keep their defaults.
    virtual DbResult appendRow(const QString& connectionString, const QString& table,
                               const std::vector<FieldValue>& values) = 0;
};

}  // namespace pelorix::platform
