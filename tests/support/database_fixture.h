#pragma once

#include <ostream>

#include "platform/database/database_qtsql.h"
#include "support/temp_dir.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace pelorix::test {

QString jetConnection(const QString& file);
QString sqliteOdbcConnection(const QString& file);
// The file's name as the host's ODBC drivers take it: under Wine they are Linux libraries.
QString odbcDriverFileName(const QString& file);

// An empty SQLite database file (the program never creates one).
QString createDatabaseFile(const TempDir& dir, const QString& name = "Pelorix.mdb");

// Runs statements through the embedded database; a failing one fails the test.
void runStatements(const QString& connection, const QStringList& statements);

// The Pelorix tables the updater relies on, declared with Jet types; tblTypes holds rows 1 to 8
// unless told otherwise, tblConfig the given version.
void createPelorixTables(const QString& connection, const QString& version = "6.1.0",
                         bool withTypes = true);

// A value read back through the embedded database.
QVariant readValue(const QString& connection, const QString& select);
std::vector<QVariantList> readRows(const QString& connection, const QString& select);
QStringList columnsOf(const QString& connection, const QString& table);

// Another connection (on Linux the sqlite3 shell, another program) holding the database file under
// an exclusive lock until release() or the end of the object; release() may be called from another
// thread.
class ExclusiveLock {
  public:
    explicit ExclusiveLock(const QString& file);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    // True once the lock keeps others out.
    bool held() const { return held_; }
    void release();

  private:
    struct Holder;  // what holds the lock, one per operating system
    std::unique_ptr<Holder> holder_;
    bool held_ = false;
};

// How the tests reach the database: the embedded engine, or ODBC with the SQLite3 driver
// (whose connection string, containing "sql", makes the start-up choose the SQL Server dialect).
struct Backend {
    const char* name;
    QString (*connection)(const QString& file);
    bool isSqlServer;
};

inline void PrintTo(const Backend& backend, std::ostream* out) {
    *out << backend.name;
}

inline const Backend kEmbedded{"Embedded", &jetConnection, false};
inline const Backend kSqliteOdbc{"SqliteOdbc", &sqliteOdbcConnection, true};

}  // namespace pelorix::test
