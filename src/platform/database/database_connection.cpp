#include "platform/database/database_connection.h"

#include "platform/database/connection_string.h"
#include "platform/database/jet_access_odbc.h"
#include "platform/database/jet_sqlite_types.h"
#include "platform/database/odbc_no_create.h"
#include "platform/file_system.h"
#include "platform/odbc_drivers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <atomic>

namespace pelorix::platform {

using namespace Qt::StringLiterals;

namespace {

// The first bytes of every SQLite 3 database file.
constexpr QByteArrayView kSqliteHeader("SQLite format 3\0", 16);

QString uniqueConnectionName() {
    static std::atomic<quint64> counter{0};
    return u"pelorix-db-"_s + QString::number(++counter);
}

// Drivers measure their time-outs on coarse timers.
constexpr std::chrono::milliseconds kTimerSlack{100};

bool hasDatabaseHeader(const QString& file) {
    QFile database(file);
    return database.open(QIODevice::ReadOnly) &&
           database.read(kSqliteHeader.size()) == QByteArrayView(kSqliteHeader);
}

bool mentions(const QString& text, QLatin1String piece) {
    return text.contains(piece, Qt::CaseInsensitive);
}

// QODBC passes names that mention DRIVER= or SERVER= unchanged, unless they mention ".dsn".
bool passedUnchanged(const QString& name) {
    return !mentions(name, ".dsn"_L1) &&
           (mentions(name, "DRIVER="_L1) || mentions(name, "SERVER="_L1));
}

}  // namespace

QString describeError(const QSqlError& error) {
    const QString database = error.databaseText().trimmed();
    if (!database.isEmpty()) {
        return database;
    }
    const QString driver = error.driverText().trimmed();
    return driver.isEmpty() ? u"Unknown database error"_s : driver;
}

QString qodbcDatabaseName(const QString& odbcString) {
    if (passedUnchanged(odbcString)) {
        return odbcString;
    }
    ConnectionPairs pairs = parseConnectionString(odbcString);
    const QString leading = mentions(odbcString, ".dsn"_L1) ? u"FileDSN"_s : u"DSN"_s;
    const auto found = std::find_if(pairs.begin(), pairs.end(), [&](const auto& pair) {
        return pair.first.compare(leading, Qt::CaseInsensitive) == 0;
    });
    if (found != pairs.end()) {
        std::rotate(pairs.begin(), found, found + 1);
    }
    const QString rebuilt = buildOdbcString(pairs);
    if (passedUnchanged(rebuilt) || found == pairs.end()) {
        return rebuilt;
    }
    return rebuilt.mid(leading.size() + 1);
}

DatabaseConnection::DatabaseConnection(const QString& connectionString,
                                       const QtSqlDatabase::Options& options, FileSystem& files)
    : statementTimeout_(options.odbc.statementTimeout) {
    const DatabaseTarget target =
        mapConnectionString(connectionString, options.sqlServerOdbcDriver);
    switch (target.kind) {
        case DatabaseKind::Embedded:
            openEmbedded(target.location, options, files);
            break;
        case DatabaseKind::Odbc:
            openOdbc(target.location, target.connectTimeout.value_or(options.odbc.connectTimeout));
            break;
        case DatabaseKind::Unsupported:
            error_ = target.error;
            break;
    }
}

DatabaseConnection::~DatabaseConnection() {
    if (name_.isEmpty()) {
        return;
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

QString DatabaseConnection::engineStatement(const QString& statement) const {
    if (embedded_) {
        return jetComparisonsToSqlite(jetTypesToSqlite(statement));
    }
    return jetThroughOdbc_ ? jetForAccessOdbc(statement) : statement;
}

bool DatabaseConnection::run(QSqlQuery& query, const QString& statement) {
    if (embedded_) {
        return query.exec(engineStatement(statement));  // the busy time-out limits it
    }
    return prepare(query, statement) && execPrepared(query);
}

bool DatabaseConnection::execPrepared(QSqlQuery& query) {
    const QuietDriverWarnings quiet;
    return query.exec();
}

bool DatabaseConnection::prepare(QSqlQuery& query, const QString& statement) {
    const QuietDriverWarnings quiet;
    if (!query.prepare(engineStatement(statement))) {
        return false;
    }
    if (!embedded_) {
        // A driver without time-outs runs the statement all the same.
        limitOdbcStatement(query, statementTimeout_);
    }
    return true;
}

// Jet fails to open a missing file; SQLite would create an empty database in its place, so the
// file must exist and is opened without the right to create it. Its name is found without
// regard to case, as Windows finds it. SQLite takes an empty file for an empty database, so
// only a file that begins as a database does is opened by SQLite; any other file goes to the
// Access ODBC driver where the system has one. A read-only file is opened for reading only:
// root would otherwise write it all the same.
void DatabaseConnection::openEmbedded(const QString& file, const QtSqlDatabase::Options& options,
                                      FileSystem& files) {
    const QString resolved = file.isEmpty() ? file : files.resolve(file);
    const QFileInfo info(resolved);
    if (file.isEmpty() || !info.exists()) {
        error_ = u"Could not find file '"_s + file + u"'."_s;
        return;
    }
    if (info.isDir()) {
        error_ = u"Cannot open '"_s + file + u"': it is a folder, not a database file."_s;
        return;
    }
    const QString jetDriver = accessOdbcDriver();
    const bool sqlite = info.isFile() && hasDatabaseHeader(resolved);  // a FIFO would block
    if (!info.isFile() || (!sqlite && jetDriver.isEmpty())) {
        error_ = u"Unrecognized database format '"_s + file + u"'."_s;
        return;
    }
    const bool readOnly = files.isReadOnly(resolved);
    if (!sqlite) {
        jetThroughOdbc_ = true;
        openOdbc(accessOdbcString(jetDriver, info.absoluteFilePath(), readOnly),
                 options.odbc.connectTimeout);
        return;
    }
    if (!addDriver(u"QSQLITE"_s)) {
        return;
    }
    embedded_ = true;
    // A URI's path begins with "/", also before a drive letter ("file:///C:/…").
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray path =
        QUrl::toPercentEncoding(absolute.startsWith(u'/') ? absolute : u'/' + absolute, "/");
    db_.setDatabaseName(u"file://"_s + QString::fromLatin1(path) +
                        (readOnly ? u"?mode=ro"_s : u"?mode=rw"_s));
    db_.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT="_s +
                          QString::number(options.sqliteBusyTimeout.count()));
    open();
}

// As with the embedded file, a missing SQLite database is an error, never created.
void DatabaseConnection::openOdbc(const QString& odbcString, std::chrono::seconds connectTimeout) {
    if (!addDriver(u"QODBC"_s)) {
        return;
    }
    db_.setDatabaseName(qodbcDatabaseName(withoutDatabaseCreation(odbcString)));
    db_.setConnectOptions(u"SQL_ATTR_LOGIN_TIMEOUT="_s + QString::number(connectTimeout.count()));
    QElapsedTimer timer;
    timer.start();
    open();
    // Drivers report a time-out only in their own words; a failure that took the whole time
    // is one.
    timedOut_ =
        !open_ && std::chrono::milliseconds(timer.elapsed()) + kTimerSlack >= connectTimeout;
}

bool DatabaseConnection::addDriver(const QString& driver) {
    name_ = uniqueConnectionName();
    db_ = QSqlDatabase::addDatabase(driver, name_);
    if (!db_.isValid()) {
        error_ = u"The database driver "_s + driver + u" is not available."_s;
        return false;
    }
    return true;
}

void DatabaseConnection::open() {
    open_ = db_.open();
    if (!open_) {
        error_ = describeError(db_.lastError());
    }
}

}  // namespace pelorix::platform
