#pragma once

#include "platform/database.h"
#include "platform/database/connection_string.h"
#include "platform/odbc_drivers.h"

#include <chrono>
#include <memory>

namespace pelorix::platform {

class DatabaseConnection;
class FileSystem;

// Database over Qt SQL: QSQLITE plays the Jet engine, QODBC (unixODBC) reaches SQL Server and
// other ODBC sources. See connection_string.h for how an ADO string is mapped.
class QtSqlDatabase : public Database {
  public:
    struct Options {
        // A brief lock by another program passes; a lasting one fails each statement quickly
        // enough that the twenty-odd statements of a migration reach their message in seconds.
        std::chrono::milliseconds sqliteBusyTimeout{250};
        // Without them, FreeTDS would wait without end for a server that never answers, and
        // a statement on a table that another program holds would wait for ever.
        DatabaseLimits odbc{};
        // The ODBC driver that SQL Server connection strings are sent to.
        QString sqlServerOdbcDriver = defaultSqlServerOdbcDriver();
    };

    // The embedded database's file is found through `files`, as every other file is.
    explicit QtSqlDatabase(FileSystem& files);
    QtSqlDatabase(FileSystem& files, Options options);

    void beginRun(const DatabaseLimits& limits) override;

    DbResult execute(const QString& connectionString, const QString& statement) override;
    QueryResult query(const QString& connectionString, const QString& statement) override;
    QueryResult columns(const QString& connectionString, const QString& statement) override;
    DbResult appendRow(const QString& connectionString, const QString& table,
                       const std::vector<FieldValue>& values) override;

  private:
    QueryResult run(const QString& connectionString, const QString& statement, bool readRows);
    // A connection, or the failure that a server which did not answer left for this run.
    std::unique_ptr<DatabaseConnection> connect(const QString& connectionString, QString& error);

    FileSystem& files_;
    Options options_;
    QString unansweredConnection_;  // the connection string whose server did not answer
    QString unansweredError_;
};

// Creates a new, empty database file for the embedded engine, as an empty Jet file is made for
// Jet; false when something exists at the name or the file cannot be created.
bool createEmbeddedDatabaseFile(const QString& file);

}  // namespace pelorix::platform
