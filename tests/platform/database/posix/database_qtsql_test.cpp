#include "platform/database/database_qtsql.h"
#include "platform/database/database_connection.h"
#include "platform/file_system.h"
#include "support/database_fixture.h"
#include "support/silent_server.h"
#include "support/test_environment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <tuple>

#include <sys/stat.h>

namespace pelorix::test {
namespace {

using platform::QtSqlDatabase;
using namespace Qt::StringLiterals;

class DatabaseTest : public ::testing::TestWithParam<Backend> {
  protected:
    QString connection() const { return GetParam().connection(file_); }

    TempDir dir_;
    QString file_ = createDatabaseFile(dir_);
    QtSqlDatabase database_{platform::defaultFileSystem()};
};

TEST_P(DatabaseTest, QueryListsColumnsOfAnEmptyTableAndReadsNulls) {
    runStatements(jetConnection(file_), {"CREATE TABLE t (a integer, b string (10))"});
    const platform::QueryResult empty = database_.query(connection(), "Select * from t");
    ASSERT_TRUE(empty.ok) << empty.error.toStdString();
    EXPECT_EQ(empty.columns, QStringList({"a", "b"}));
    EXPECT_TRUE(empty.rows.empty());

    ASSERT_TRUE(database_.execute(connection(), "INSERT INTO t (a) VALUES (7)").ok);
    const platform::QueryResult one = database_.query(connection(), "Select * from t");
    ASSERT_EQ(one.rows.size(), 1u);
    EXPECT_EQ(one.rows[0][0].toInt(), 7);
    EXPECT_TRUE(one.rows[0][1].isNull());
}

TEST_P(DatabaseTest, ColumnsProbeAFilledTableWithoutReadingItsRows) {
    runStatements(jetConnection(file_),
                  {"CREATE TABLE t (a integer, b string (10))", "INSERT INTO t (a) VALUES (1)",
                   "INSERT INTO t (a) VALUES (2)"});
    const platform::QueryResult probe = database_.columns(connection(), "Select * from t");
    ASSERT_TRUE(probe.ok) << probe.error.toStdString();
    EXPECT_EQ(probe.columns, QStringList({"a", "b"}));
    EXPECT_TRUE(probe.rows.empty());
    EXPECT_FALSE(database_.columns(connection(), "Select * from nowhere").ok);
}

TEST_P(DatabaseTest, AppendRowBindsValuesAndLeavesOtherColumnsToTheirDefaults) {
    runStatements(jetConnection(file_),
                  {"CREATE TABLE t (a integer, b string (10), c integer default 5)"});
    const platform::DbResult stored =
        database_.appendRow(connection(), "t", {{"a", qint16(9)}, {"b", "it's; \"odd\""}});
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    const std::vector<QVariantList> rows = readRows(jetConnection(file_), "Select a, b, c from t");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toInt(), 9);
    EXPECT_EQ(rows[0][1].toString(), "it's; \"odd\"");
    EXPECT_EQ(rows[0][2].toInt(), 5);
}

TEST_P(DatabaseTest, RejectedStatementsFailWithTheDriversDescription) {
    const platform::DbResult missing = database_.execute(connection(), "UPDATE nowhere SET a = 1");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("nowhere")) << missing.error.toStdString();
    const platform::QueryResult bad = database_.query(connection(), "Select * from nowhere");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.isEmpty());
    EXPECT_FALSE(database_.appendRow(connection(), "nowhere", {{"a", 1}}).ok);
}

// A column without a declared type keeps what it is given: a number must arrive as a number.
TEST_P(DatabaseTest, AppendRowBindsSmallIntegersAsNumbers) {
    runStatements(jetConnection(file_), {"CREATE TABLE tblTypes (Type, TypeText string (50))"});
    ASSERT_TRUE(database_.appendRow(connection(), "tblTypes", {{"Type", qint16(9)}}).ok);
    const platform::QueryResult found =
        database_.query(connection(), "Select * from tblTypes WHERE Type = 9");
    ASSERT_TRUE(found.ok) << found.error.toStdString();
    EXPECT_EQ(found.rows.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::Values(kEmbedded, kSqliteOdbc),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(EmbeddedDatabase, AMissingFileIsAFailureAndIsNotCreated) {
    TempDir dir;
    const QString missing = dir.file("Pelorix.mdb");
    QtSqlDatabase database(platform::defaultFileSystem());
    const platform::DbResult result =
        database.execute(jetConnection(missing), "CREATE TABLE t (a integer)");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Could not find file '" + missing + "'.");
    EXPECT_FALSE(database.query(jetConnection(missing), "Select * from t").ok);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(EmbeddedDatabase, TheFileIsFoundWithoutRegardToCase) {
    TempDir dir;
    const QString file = createDatabaseFile(dir, "Data/pelorix.mdb");
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    QtSqlDatabase database(platform::defaultFileSystem());
    const platform::QueryResult result =
        database.query(jetConnection(dir.file("DATA/Pelorix.MDB")), "Select * from t");
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.columns, QStringList{"a"});
    EXPECT_FALSE(QFileInfo::exists(dir.file("DATA")));
}

TEST(EmbeddedDatabase, AFolderInPlaceOfTheFileIsAFailure) {
    TempDir dir;
    const QString folder = dir.mkdir("Pelorix.mdb");
    QtSqlDatabase database(platform::defaultFileSystem());
    const platform::QueryResult result = database.query(jetConnection(folder), "Select 1");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(EmbeddedDatabase, AFileThatIsNoDatabaseIsAFailure) {
    TempDir dir;
    const QString file =
        dir.write("Pelorix.mdb", QByteArray("Standard Jet DB\0\0\0 not sqlite", 30));
    QtSqlDatabase database(platform::defaultFileSystem());
    const platform::QueryResult result = database.query(jetConnection(file), "Select * from t");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

// SQLite would take an empty file for an empty database and write it.
TEST(EmbeddedDatabase, FilesThatAreNoDatabaseAreRefusedAndLeftAsTheyAre) {
    TempDir dir;
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Standard Jet DB\0\0", 17)}) {
        const QString file = dir.write("Pelorix.mdb", bytes);
        QtSqlDatabase database(platform::defaultFileSystem());
        const platform::DbResult result =
            database.execute(jetConnection(file), "CREATE TABLE t (a integer)");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Unrecognized database format '" + file + "'.");
        EXPECT_EQ(dir.read("Pelorix.mdb"), bytes);
    }
    const QString fifo = dir.file("Fifo.mdb");  // nobody writes to it: must not block
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(
        QtSqlDatabase(platform::defaultFileSystem()).query(jetConnection(fifo), "Select 1").ok);
}

// Root may write any file; a read-only database is read, never written, all the same.
TEST(EmbeddedDatabase, AReadOnlyFileIsReadButNotWritten) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    const QByteArray before = dir.read("Pelorix.mdb");
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0444), 0);
    QtSqlDatabase database(platform::defaultFileSystem());
    EXPECT_TRUE(database.query(jetConnection(file), "Select * from t").ok);
    EXPECT_FALSE(database.execute(jetConnection(file), "INSERT INTO t VALUES (1)").ok);
    EXPECT_FALSE(database.execute(jetConnection(file), "CREATE TABLE u (a integer)").ok);
    EXPECT_EQ(dir.read("Pelorix.mdb"), before);
}

TEST(EmbeddedDatabase, FileNamesNeedNoQuotingInTheUri) {
    TempDir dir;
    const QString file = createDatabaseFile(dir, "odd name?#%20ä\\x.mdb");
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    EXPECT_EQ(columnsOf(jetConnection(file), "t"), QStringList{"a"});
    EXPECT_FALSE(QFileInfo::exists(dir.file("odd name")));
}

TEST(EmbeddedDatabase, ALockedDatabaseFailsAfterTheBusyTimeout) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    ExclusiveLock lock(file);
    ASSERT_TRUE(lock.held());

    QtSqlDatabase database(platform::defaultFileSystem());  // the program's own timeout
    QElapsedTimer timer;
    timer.start();
    const platform::QueryResult result = database.query(jetConnection(file), "Select * from t");
    const qint64 elapsed = timer.elapsed();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("locked")) << result.error.toStdString();
    EXPECT_GE(elapsed, 200);
    // Twenty-odd such statements must stay well below half a minute.
    EXPECT_LT(elapsed, 1000);
}

TEST(EmbeddedDatabase, ABriefLockPasses) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    ExclusiveLock lock(file);
    ASSERT_TRUE(lock.held());
    // The lock goes away while the statement waits for it.
    QtSqlDatabase::Options options;
    options.sqliteBusyTimeout = std::chrono::milliseconds(5000);
    QtSqlDatabase patient(platform::defaultFileSystem(), options);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        lock.release();
    });
    const platform::DbResult result =
        patient.execute(jetConnection(file), "INSERT INTO t VALUES (1)");
    release.join();
    EXPECT_TRUE(result.ok) << result.error.toStdString();
}

TEST(OdbcDatabase, ADataSourceNameFromTheUsersOdbcIniIsReached) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    runStatements(jetConnection(file), {"CREATE TABLE t (a integer)"});
    const QString ini =
        dir.write("odbc.ini", ("[PelorixTest]\nDriver=SQLite3\nDatabase=" + file + "\n").toUtf8());
    QtSqlDatabase database(platform::defaultFileSystem());
    const test::ScopedEnv userOdbcIni("ODBCINI", ini.toUtf8());  // read by unixODBC
    const platform::QueryResult result =
        database.query("UID=nobody;DSN=PelorixTest", "Select * from t");
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.columns, QStringList{"a"});
}

// A missing database file is an error on every route to the SQLite ODBC driver, never created
// empty (which the next run would then take for a database).
TEST(OdbcDatabase, AMissingDatabaseFileIsNeverCreated) {
    TempDir dir;
    const QString file = dir.file("Pelorix.mdb");
    const QString ini = dir.write(
        "odbc.ini", ("[PelorixMissing]\nDriver=SQLite3\nDatabase=" + file + "\n").toUtf8());
    const test::ScopedEnv userOdbcIni("ODBCINI", ini.toUtf8());
    for (const QString& connection :
         {u"Driver=SQLite3;Database=%1"_s, u" driver = {SQLite3} ; Database = '%1' ; "_s,
          u"Provider=MSDASQL;Driver=SQLite3;Database=%1"_s, u"DSN=PelorixMissing"_s,
          u"Provider=MSDASQL;DSN=PelorixMissing;UID=nobody"_s}) {
        QtSqlDatabase database(platform::defaultFileSystem());
        const platform::DbResult result = database.execute(connection.arg(file), "Select 1");
        EXPECT_FALSE(result.ok) << connection.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file)) << connection.toStdString();
        QFile::remove(file);
    }
}

// "Connect Timeout" of the string is honoured; once the server has not answered, the other
// statements of the run fail at once, and a new run tries it again.
TEST(OdbcDatabase, AfterAServerDidNotAnswerTheRunsOtherStatementsFailAtOnce) {
    SilentServer server;
    ASSERT_NE(server.port(), 0);
    QtSqlDatabase database(platform::defaultFileSystem());  // a connect time-out of five seconds
                                                            // unless the string says
    const QString ado = QString(
                            "Provider=SQLOLEDB;Data Source=127.0.0.1,%1;Connect Timeout=1;"
                            "Initial Catalog=Pelorix;User Id=sa;Password=secret")
                            .arg(server.port());
    database.beginRun({});
    QElapsedTimer timer;
    timer.start();
    const platform::DbResult first = database.execute(ado, "Select 1");
    EXPECT_FALSE(first.ok);
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 4000);
    timer.restart();
    const platform::QueryResult later = database.query(ado, "Select * from tblTypes");
    EXPECT_FALSE(later.ok);
    EXPECT_EQ(later.error, first.error);
    EXPECT_FALSE(database.appendRow(ado, "tblTypes", {{"Type", 9}}).ok);
    EXPECT_LT(timer.elapsed(), 200);

    database.beginRun({});
    timer.restart();
    EXPECT_FALSE(database.columns(ado, "Select * from tblTypes").ok);
    EXPECT_GE(timer.elapsed(), 900);
}

// The statement time-out reaches the driver's statement (the SQLite driver takes it, though it
// does not act on it); the embedded engine has no ODBC statement to take one.
TEST(OdbcDatabase, TheStatementTimeOutReachesThePreparedStatement) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    for (const auto& [driver, name, reached] :
         {std::tuple{"QODBC", "Driver=SQLite3;Database=" + file, true},
          std::tuple{"QSQLITE", file, false}}) {
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(driver, "timeout-test");
            database.setDatabaseName(name);
            ASSERT_TRUE(database.open()) << driver;
            QSqlQuery query(database);
            ASSERT_TRUE(query.prepare("Select 1"));
            EXPECT_EQ(platform::limitOdbcStatement(query, std::chrono::seconds(3)), reached)
                << driver;
        }
        QSqlDatabase::removeDatabase("timeout-test");
    }
}

TEST(OdbcDatabase, ASqlServerThatNeverAnswersFailsAfterTheLoginTimeout) {
    SilentServer server;
    ASSERT_NE(server.port(), 0);
    QtSqlDatabase::Options options;
    options.odbc.connectTimeout = std::chrono::seconds(1);
    QtSqlDatabase database(platform::defaultFileSystem(), options);
    const QString ado = QString(
                            "Provider=SQLOLEDB;Data Source=127.0.0.1,%1;Initial "
                            "Catalog=Pelorix;User Id=sa;Password=secret")
                            .arg(server.port());
    QElapsedTimer timer;
    timer.start();
    const platform::DbResult result = database.execute(ado, "Select 1");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_LT(timer.elapsed(), 8000);
}

}  // namespace
}  // namespace pelorix::test
