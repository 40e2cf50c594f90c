#pragma once

#include "platform/database/database_qtsql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <chrono>

namespace pelorix::platform {

// One Qt SQL connection, opened from a connection string under a name of its own and removed
// again with the object. Queries on it must end before it does.
class DatabaseConnection {
  public:
    DatabaseConnection(const QString& connectionString, const QtSqlDatabase::Options& options,
                       FileSystem& files);
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    bool isOpen() const { return open_; }
    // The server did not answer within the connect time-out.
    bool timedOut() const { return timedOut_; }
    const QString& error() const { return error_; }
    QSqlDatabase& database() { return db_; }

    // Runs the statement, in the form this engine takes it, within the statement time-out.
    bool run(QSqlQuery& query, const QString& statement);
    // Prepares the statement for binding values; its run (execPrepared) keeps to the statement
    // time-out.
    bool prepare(QSqlQuery& query, const QString& statement);
    bool execPrepared(QSqlQuery& query);

  private:
    QString engineStatement(const QString& statement) const;
    void openEmbedded(const QString& file, const QtSqlDatabase::Options& options,
                      FileSystem& files);
    void openOdbc(const QString& odbcString, std::chrono::seconds connectTimeout);
    bool addDriver(const QString& driver);
    void open();

    QString name_;
    QSqlDatabase db_;
    bool embedded_ = false;
    bool jetThroughOdbc_ = false;  // a Jet file opened through the Access ODBC driver
    bool open_ = false;
    bool timedOut_ = false;
    std::chrono::seconds statementTimeout_{};
    QString error_;
};

// The failure's description as the driver gives it.
QString describeError(const QSqlError& error);

// The name to give QODBC so that the text it hands to SQLDriverConnect is the given ODBC
// string: QODBC passes strings naming DRIVER= or SERVER= as they are, puts "DSN=" before any
// other name and "FILEDSN=" before a name that mentions ".dsn".
QString qodbcDatabaseName(const QString& odbcString);

// While it lives, QODBC's own reports of failed statements stay off standard error, which
// belongs to the program; the failure reaches the caller with its description all the same.
// Statements run on one thread only.
class QuietDriverWarnings {
  public:
    QuietDriverWarnings();
    ~QuietDriverWarnings();
    QuietDriverWarnings(const QuietDriverWarnings&) = delete;
    QuietDriverWarnings& operator=(const QuietDriverWarnings&) = delete;
};

// Gives the prepared ODBC statement of the query a time-out; false when the driver refuses it.
bool limitOdbcStatement(const QSqlQuery& query, std::chrono::seconds timeout);

}  // namespace pelorix::platform
