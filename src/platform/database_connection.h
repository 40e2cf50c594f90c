#pragma once

#include "platform/database_qtsql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace pelorix::platform {

// One Qt SQL connection, opened from a connection string under a name of its own and removed
// again with the object. Queries on it must end before it does.
class DatabaseConnection {
  public:
    DatabaseConnection(const QString& connectionString, const QtSqlDatabase::Options& options);
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    bool isOpen() const { return open_; }
    const QString& error() const { return error_; }
    QSqlDatabase& database() { return db_; }
    // The statement in the form this engine takes it.
    QString engineStatement(const QString& statement) const;

  private:
    void openEmbedded(const QString& file, const QtSqlDatabase::Options& options);
    void openOdbc(const QString& odbcString, const QtSqlDatabase::Options& options);
    bool addDriver(const QString& driver);
    void open();

    QString name_;
    QSqlDatabase db_;
    bool embedded_ = false;
    bool open_ = false;
    QString error_;
};

// The failure's description as the driver gives it.
QString describeError(const QSqlError& error);

// The name to give QODBC so that the text it hands to SQLDriverConnect is the given ODBC
// string: QODBC passes strings naming DRIVER= or SERVER= as they are, puts "DSN=" before any
// other name and "FILEDSN=" before a name that mentions ".dsn".
QString qodbcDatabaseName(const QString& odbcString);

}  // namespace pelorix::platform
