#pragma once

#include "platform/database.h"

#include <chrono>

namespace pelorix::platform {

// Database over Qt SQL: QSQLITE plays the Jet engine, QODBC (unixODBC) reaches SQL Server and
// other ODBC sources. See connection_string.h for how an ADO string is mapped.
class QtSqlDatabase : public Database {
  public:
    struct Options {
        // A brief lock by another program passes; a lasting one fails each statement quickly
        // enough that the twenty-odd statements of a migration reach their message in seconds.
        std::chrono::milliseconds sqliteBusyTimeout{250};
        // FreeTDS would otherwise wait without end for a server that never answers.
        std::chrono::seconds odbcLoginTimeout{5};
    };

    QtSqlDatabase();
    explicit QtSqlDatabase(Options options);

    DbResult execute(const QString& connectionString, const QString& statement) override;
    QueryResult query(const QString& connectionString, const QString& statement) override;
    QueryResult columns(const QString& connectionString, const QString& statement) override;
    DbResult appendRow(const QString& connectionString, const QString& table,
                       const std::vector<FieldValue>& values) override;

  private:
    QueryResult run(const QString& connectionString, const QString& statement, bool readRows);
    Options options_;
};

}  // namespace pelorix::platform
