#include "app/phases/migration.h"
#include "app/update_harness.h"
#include "platform/database/database_qtsql.h"
#include "platform/file_system.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace pelorix::app {
namespace {

// No language file: every translated text comes back with "!".
const QString kDatabaseError =
    "Der Updater konnte nicht auf die Datenbank zugreifen.!\r"
    "Bitte prüfen Sie ob die Datenbank bereits durch andere Programme geöffnet ist!\r"
    "und versuchen es dann erneut. Der Vorgang wird abgebrochen.!";
const QString kSqlServerLine =
    "\r\n\r\nBitte prüfen Sie auch, dass Sie administrativen Zugriff auf die SQL-Datenbank "
    "besitzen.!";

// The step line closed with its result word, 40 characters long.
const QString kStepClosed = "Überprüfe Datenbank ...!............. OK";

QString jetConnection(const QString& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";User Id=admin;Password=;";
}

// A Pelorix database of the given version in the embedded engine, declared with Jet types.
void createPelorixDatabase(const QString& file, const QString& version, bool withTypes = true) {
    ASSERT_TRUE(platform::createEmbeddedDatabaseFile(file));
    QStringList statements{
        "CREATE TABLE tblPrinters (PrinterID counter, PrinterName string (100), "
        "WarningTime string (20), OperatorErrorTime string (20), ServiceErrorTime string (20), "
        "LastRUITonerRead string (20), SFValue string (20), FingerPrint string (20), "
        "SNMPName string (100), TonerLimit integer)",
        "CREATE TABLE tblData (DataID counter, FingerPrint string (20), RawRead string (100))",
        "CREATE TABLE tblTypes ([Type] integer, TypeText string (100))",
        "CREATE TABLE tblConfig ([Field] string (50), [Value] string (255))",
        "CREATE TABLE tblDepartment (DepartmentID integer)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('A', 0)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('B', 20)",
        "INSERT INTO tblConfig ([Field], [Value]) VALUES ('Version', '" + version + "')",
        "INSERT INTO tblDepartment (DepartmentID) VALUES (1)",
    };
    for (int type = 1; withTypes && type <= 8; ++type) {
        statements
            << QString("INSERT INTO tblTypes ([Type], TypeText) VALUES (%1, 'T%1')").arg(type);
    }
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    for (const QString& statement : statements) {
        ASSERT_TRUE(database.execute(jetConnection(file), statement).ok) << statement.toStdString();
    }
}

QVariantList column(const QString& file, const QString& select) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    QVariantList values;
    for (const QVariantList& row : database.query(jetConnection(file), select).rows) {
        values << row.value(0);
    }
    return values;
}

class MigrationTest : public ::testing::Test {
  protected:
    MigrationTest() {
        harness.form.progressMaximum = 71;
        harness.form.progressValue = 4;
        harness.form.updateLog = true;
        harness.form.connectionString = jetConnection(file);
        harness.ui.mousePointer = MousePointer::Wait;
    }

    QStringList statusLines() const { return harness.form.statusText.split("\r\n"); }
    QStringList logLines() const {
        QStringList lines;
        for (const QString& line : harness.debugLogText().split("\r\n", Qt::SkipEmptyParts)) {
            lines << line.mid(line.indexOf("> ") + 2);
        }
        return lines;
    }

    test::UpdateHarness harness;
    QString file = harness.form.dataBasePath + "/Pelorix.mdb";
};

TEST_F(MigrationTest, AFreshDatabaseGetsEveryChangeAndASecondRunAddsNothing) {
    createPelorixDatabase(file, "6.1.0");
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);

    EXPECT_EQ(statusLines(),
              QStringList({kStepClosed, "Neue Tabellenspalten!: 1", "Neue Gerätetypen!: 15",
                           "Komplett neue Tabellen!: 1", ""}));
    EXPECT_EQ(harness.form.progressValue, 6);
    EXPECT_TRUE(harness.ui.messages.empty());
    const QStringList log = logLines();
    EXPECT_EQ(log.first(), "Checking database ...");
    EXPECT_EQ(log.last(), "Finished database checks. NT: 1, ND: 15, NC: 1");
    EXPECT_TRUE(log.contains("Updating column TonerLimit .."));
    EXPECT_TRUE(log.contains("starting creation of new tables ..."));
    EXPECT_FALSE(log.contains("SQL alter columns ..."));
    EXPECT_EQ(column(file, "SELECT TonerLimit FROM tblPrinters ORDER BY PrinterID"),
              QVariantList({-1, 20}));
    const QVariantList types = column(file, "SELECT TypeText FROM tblTypes ORDER BY [Type]");
    ASSERT_EQ(types.size(), 23);
    EXPECT_EQ(types[8], "Axis Printbox (SW)");
    EXPECT_EQ(types[22], "Kyocera Mita (Spezial)");

    harness.form.statusText.clear();
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);
    EXPECT_EQ(statusLines().mid(1, 3),
              QStringList({"Neue Tabellenspalten!: 0", "Neue Gerätetypen!: 0",
                           "Komplett neue Tabellen!: 0"}));
    EXPECT_EQ(logLines().last(), "Finished database checks. NT: 0, ND: 0, NC: 0");
    EXPECT_EQ(logLines().filter("Database error (Create index on table): ").size(), 1)
        << logLines().join("\n").toStdString();
}

TEST_F(MigrationTest, ADatabaseAt620KeepsItsTonerLimitsAndAnEmptyTypeTableGetsNoTypes) {
    createPelorixDatabase(file, "6.2.0", false);
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);
    EXPECT_EQ(column(file, "SELECT TonerLimit FROM tblPrinters ORDER BY PrinterID"),
              QVariantList({0, 20}));
    EXPECT_FALSE(logLines().contains("Updating column TonerLimit .."));
    EXPECT_TRUE(column(file, "SELECT [Type] FROM tblTypes").isEmpty());
    EXPECT_EQ(logLines().last(), "Finished database checks. NT: 1, ND: 0, NC: 1");
}

TEST_F(MigrationTest, ADatabaseOnlyRunWaitsASecondAndJoinsTheCompletion) {
    createPelorixDatabase(file, "6.1.0");
    harness.form.updateDatabaseOnlyCheck = 1;
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::SkipToCompletion);
    EXPECT_EQ(statusLines().at(4), "Datenbankupdate erfolgreich ausgeführt.!");
    EXPECT_GE(harness.clock.elapsed(), std::chrono::milliseconds(1000));
    EXPECT_FALSE(logLines().last().startsWith("Finished database checks."));
}

TEST_F(MigrationTest, AGrayedDatabaseOnlyBoxCountsAsUnchecked) {
    createPelorixDatabase(file, "6.1.0");
    harness.form.updateDatabaseOnlyCheck = 2;
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);
    EXPECT_EQ(harness.clock.elapsed(), std::chrono::milliseconds(0));
}

TEST_F(MigrationTest, ADatabaseThatCannotBeOpenedEndsWithTheMessageAndLeavesTheLineOpen) {
    harness.dir.mkdir("appdata/Pelorix/Pelorix.mdb");  // a folder in place of the file
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::DatabaseError);
    EXPECT_EQ(harness.form.statusText, "Überprüfe Datenbank ...!");
    EXPECT_EQ(harness.form.progressValue, 5);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, kDatabaseError);
    EXPECT_EQ(harness.ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    const QStringList log = logLines();
    // Every later operation was still attempted.
    EXPECT_EQ(log.filter(QRegularExpression("^AddPrinterType\\. ID: ")).size(), 15);
    EXPECT_TRUE(log.contains("starting creation of new tables ..."));
    EXPECT_EQ(log.last(), "Database error.");
}

// Another connection holds the whole database under an exclusive lock.
class ExclusiveHolder {
  public:
    explicit ExclusiveHolder(const QString& file) {
        QSqlDatabase holder = QSqlDatabase::addDatabase("QSQLITE", kName);
        holder.setDatabaseName(file);
        held = holder.open() && QSqlQuery(holder).exec("BEGIN EXCLUSIVE");
    }
    ~ExclusiveHolder() {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }
    bool held = false;

  private:
    static constexpr const char* kName = "migration-test-lock";
};

// Counts the statements that reach the database.
class CountingDatabase : public platform::QtSqlDatabase {
  public:
    using QtSqlDatabase::QtSqlDatabase;
    platform::DbResult execute(const QString& c, const QString& s) override {
        ++calls;
        return QtSqlDatabase::execute(c, s);
    }
    platform::QueryResult query(const QString& c, const QString& s) override {
        ++calls;
        return QtSqlDatabase::query(c, s);
    }
    platform::DbResult appendRow(const QString& c, const QString& t,
                                 const std::vector<platform::FieldValue>& v) override {
        ++calls;
        return QtSqlDatabase::appendRow(c, t, v);
    }
    int calls = 0;
};

TEST_F(MigrationTest, ALockedDatabaseReachesTheMessageWellWithinHalfAMinute) {
    createPelorixDatabase(file, "6.1.0");
    ExclusiveHolder lock(file);
    ASSERT_TRUE(lock.held);
    platform::QtSqlDatabase::Options impatient;
    impatient.sqliteBusyTimeout = std::chrono::milliseconds(10);
    CountingDatabase database(platform::defaultFileSystem(), impatient);
    harness.database = &database;

    EXPECT_EQ(runMigration(harness.context()), RunOutcome::DatabaseError);
    EXPECT_EQ(harness.ui.messages.size(), 1u);
    // Each of these statements waits the program's busy timeout once.
    const auto worstCase = platform::QtSqlDatabase::Options{}.sqliteBusyTimeout * database.calls;
    EXPECT_LT(worstCase, std::chrono::seconds(15)) << database.calls << " statements";
}

// SQL Server as the migration sees it: tables with their columns and rows; every call is kept.
class FakeSqlServer : public platform::Database {
  public:
    FakeSqlServer() {
        tables["tblPrinters"] = {"PrinterID", "WarningTime", "TonerLimit"};
        tables["tblData"] = {"FingerPrint", "RawRead"};
        tables["tblTypes"] = {"Type", "TypeText"};
        tables["tblDepartment"] = {"DepartmentID"};
        typeIds = {1, 2, 3};
    }

    platform::DbResult execute(const QString& connection, const QString& statement) override {
        record(connection, "execute: " + statement);
        static const QRegularExpression addColumn("^ALTER TABLE (\\w+) ADD \\[(\\w+)\\] ");
        static const QRegularExpression createTable("^CREATE TABLE (\\w+) \\(");
        static const QRegularExpression createIndex("^CREATE +(UNIQUE )?Index (\\w+) ");
        if (failAlterColumn && statement.contains("ALTER COLUMN")) {
            return {false, "Cannot find the object \"tblData\"."};
        }
        if (const auto column = addColumn.match(statement); column.hasMatch()) {
            tables[column.captured(1)] << column.captured(2);
        } else if (const auto table = createTable.match(statement); table.hasMatch()) {
            tables[table.captured(1)] = {"FlowID"};
        } else if (const auto index = createIndex.match(statement); index.hasMatch()) {
            if (!indexes.insert(index.captured(2)).second) {
                return {false, "The operation failed because an index already exists."};
            }
        }
        return {true, {}};
    }

    platform::QueryResult query(const QString& connection, const QString& statement) override {
        record(connection, "query: " + statement);
        if (statement == "SELECT * from tblConfig WHERE Field = 'Version'") {
            return {true, {}, {"Field", "Value"}, {{"Version", version}}};
        }
        const QString table = statement.section(' ', 3);
        if (!statement.startsWith("Select * from ") || !tables.count(table)) {
            return {false, "Invalid object name '" + table + "'.", {}, {}};
        }
        platform::QueryResult result{true, {}, tables[table], {}};
        for (int id : table == "tblTypes" ? typeIds : std::vector<int>{}) {
            result.rows.push_back({id, "text"});
        }
        return result;
    }

    platform::DbResult appendRow(const QString& connection, const QString& table,
                                 const std::vector<platform::FieldValue>& values) override {
        record(connection, "append: " + table + " " + values.at(0).column + "=" +
                               values.at(0).value.toString() + " " + values.at(1).column + "=" +
                               values.at(1).value.toString());
        typeIds.push_back(values.at(0).value.toInt());
        return {true, {}};
    }

    void record(const QString& connection, const QString& call) {
        connections.insert(connection);
        calls << call;
    }

    std::map<QString, QStringList> tables;
    std::vector<int> typeIds;
    std::set<QString> indexes;
    QString version = "6.1.0";
    bool failAlterColumn = false;
    QStringList calls;
    std::set<QString> connections;
};

const char* const kTypeNames[] = {"Axis Printbox (SW)",
                                  "Lexmark Drucker (SW)",
                                  "Lexmark Drucker (Color)",
                                  "Kyocera Mita (SW)",
                                  "Kyocera Mita (Color)",
                                  "Konica Minolta (SW)",
                                  "Konica Minolta (Color)",
                                  "KRT2",
                                  "Nur Color",
                                  "Samsung (SW)",
                                  "Samsung (Color)",
                                  "Ricoh (SW)",
                                  "Ricoh (Color)",
                                  "Sharp (Color)",
                                  "Kyocera Mita (Spezial)"};

class SqlServerMigrationTest : public MigrationTest {
  protected:
    SqlServerMigrationTest() {
        harness.form.isSqlServer = true;
        harness.form.connectionString =
            "Provider=SQLOLEDB;Data Source=db;Initial Catalog=Pelorix;User Id=sa;Password=x";
        harness.database = &server;
    }
    FakeSqlServer server;
};

TEST_F(SqlServerMigrationTest, SendsTheSqlServerDialectInTheScriptsOrder) {
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);
    QStringList expected{
        "query: Select * from tblPrinters",
        "execute: ALTER TABLE tblPrinters ADD [YTonerOrder] nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN WarningTime nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN OperatorErrorTime nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN ServiceErrorTime nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN LastRUITonerRead nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN SFValue nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN FingerPrint nvarchar (50)",
        "execute: ALTER TABLE tblPrinters ALTER COLUMN SNMPName nvarchar (255)",
        "execute: ALTER TABLE tblData ALTER COLUMN FingerPrint nvarchar (50)",
        "execute: ALTER TABLE tblData ALTER COLUMN RawRead nvarchar (255)",
        "query: SELECT * from tblConfig WHERE Field = 'Version'",
        "execute: UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0",
    };
    for (int id = 9; id <= 23; ++id) {
        expected << "query: Select * from tblTypes"
                 << QString("append: tblTypes Type=%1 TypeText=%2").arg(id).arg(kTypeNames[id - 9]);
    }
    expected << "query: Select * from tblTonerFlow"
             << "execute: CREATE TABLE tblTonerFlow (FlowID int IDENTITY (1, 1) NOT NULL, "
                "PrinterID int default 0, [TimeStamp] datetime, TonerLevel int);"
             << "execute: CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])";
    EXPECT_EQ(server.calls, expected);
    EXPECT_EQ(server.connections, std::set<QString>{harness.form.connectionString});
    EXPECT_TRUE(logLines().contains("SQL alter columns ..."));
    EXPECT_EQ(logLines().last(), "Finished database checks. NT: 1, ND: 15, NC: 1");
}

TEST_F(SqlServerMigrationTest, AFailingColumnAlterationGoesUnnoticed) {
    server.failAlterColumn = true;
    server.version = "6.2.1";
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::Continue);
    EXPECT_EQ(statusLines().at(0), kStepClosed);
    EXPECT_EQ(logLines().filter("Database error (alter table): ").size(), 9);
    EXPECT_FALSE(server.calls.contains(
        "execute: UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0"));
}

TEST_F(SqlServerMigrationTest, AnUnreachableServerShowsTheMessageWithTheSqlServerLine) {
    server.tables.clear();
    harness.form.updateLog = false;
    EXPECT_EQ(runMigration(harness.context()), RunOutcome::DatabaseError);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, kDatabaseError + kSqlServerLine);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    EXPECT_TRUE(harness.debugLogText().isEmpty());
}

}  // namespace
}  // namespace pelorix::app
