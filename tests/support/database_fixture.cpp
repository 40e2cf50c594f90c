#include "support/database_fixture.h"

#include "platform/file_system.h"

#include <QFile>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace pelorix::test {

QString jetConnection(const QString& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";User Id=admin;Password=;";
}

QString sqliteOdbcConnection(const QString& file) {
    return "Driver=SQLite3;Database=" + file;
}

QString createDatabaseFile(const TempDir& dir, const QString& name) {
    const QString file = dir.write(name, QByteArray());
    QFile::remove(file);  // the folders stay
    EXPECT_TRUE(platform::createEmbeddedDatabaseFile(file)) << file.toStdString();
    return file;
}

void runStatements(const QString& connection, const QStringList& statements) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    for (const QString& statement : statements) {
        const platform::DbResult result = database.execute(connection, statement);
        ASSERT_TRUE(result.ok) << statement.toStdString() << ": " << result.error.toStdString();
    }
}

void createPelorixTables(const QString& connection, const QString& version, bool withTypes) {
    QStringList statements{
        "CREATE TABLE tblPrinters (PrinterID counter, PrinterName string (100), "
        "WarningTime string (20), OperatorErrorTime string (20), ServiceErrorTime string (20), "
        "LastRUITonerRead string (20), SFValue string (20), FingerPrint string (20), "
        "SNMPName string (100), TonerLimit integer)",
        "CREATE TABLE tblData (DataID counter, PrinterID integer, FingerPrint string (20), "
        "RawRead string (100))",
        "CREATE TABLE tblTypes ([Type] integer, TypeText string (100))",
        "CREATE TABLE tblConfig ([Field] string (50), [Value] string (255))",
        "CREATE TABLE tblDepartment (DepartmentID integer, DepartmentName string (100))",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 1', 0)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 2', 15)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 3', 0)",
        "INSERT INTO tblConfig ([Field], [Value]) VALUES ('Version', '" + version + "')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (1, 'Sales')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (2, 'Office')",
    };
    for (int type = 1; withTypes && type <= 8; ++type) {
        statements
            << QString("INSERT INTO tblTypes ([Type], TypeText) VALUES (%1, 'Type %1')").arg(type);
    }
    runStatements(connection, statements);
}

std::vector<QVariantList> readRows(const QString& connection, const QString& select) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    const platform::QueryResult result = database.query(connection, select);
    EXPECT_TRUE(result.ok) << select.toStdString() << ": " << result.error.toStdString();
    return result.rows;
}

QVariant readValue(const QString& connection, const QString& select) {
    const std::vector<QVariantList> rows = readRows(connection, select);
    return rows.empty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

QStringList columnsOf(const QString& connection, const QString& table) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    return database.query(connection, "Select * from " + table).columns;
}

ExclusiveLock::ExclusiveLock(const QString& file) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const QByteArray path = file.toLocal8Bit();
    char* const argv[] = {const_cast<char*>("sqlite3"), const_cast<char*>(path.constData()),
                          nullptr};
    pid_t pid = -1;
    const bool started = posix_spawnp(&pid, "sqlite3", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[0]);
    input_ = pipeEnds[1];
    if (!started) {
        release();
        return;
    }
    pid_ = pid;
    // The shell waits for the probe below to let go instead of failing at once.
    const char begin[] = ".timeout 5000\nBEGIN EXCLUSIVE;\n";
    if (::write(input_, begin, sizeof begin - 1) != sizeof begin - 1) {
        release();
        return;
    }
    platform::QtSqlDatabase::Options impatient;
    impatient.sqliteBusyTimeout = std::chrono::milliseconds(0);
    platform::QtSqlDatabase probe(platform::defaultFileSystem(), impatient);
    for (int attempt = 0; attempt < 500 && !held_; ++attempt) {
        held_ = !probe.query(jetConnection(file), "Select * from sqlite_master").ok;
        if (!held_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

ExclusiveLock::~ExclusiveLock() {
    release();
}

void ExclusiveLock::release() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ > 0) {
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

}  // namespace pelorix::test
