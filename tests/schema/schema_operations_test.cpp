#include "schema/schema_operations.h"
#include "platform/file_system.h"
#include "schema_fixture.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using schema::SchemaOperations;

// The same operations against the embedded engine and through ODBC.
class SchemaOperationsTest : public ::testing::TestWithParam<Backend> {
  protected:
    SchemaOperationsTest() { createPelorixTables(jetConnection(file_)); }

    SchemaOperations operations(bool updateLog = true) {
        return SchemaOperations({GetParam().connection(file_), GetParam().isSqlServer, updateLog},
                                database_, log_.writer());
    }
    QString sqlServerOr(const QString& sqlServer, const QString& jet) const {
        return GetParam().isSqlServer ? sqlServer : jet;
    }
    QStringList columns(const QString& table) const {
        return columnsOf(jetConnection(file_), table);
    }

    TempDir dir_;
    QString file_ = createDatabaseFile(dir_);
    platform::QtSqlDatabase database_{platform::defaultFileSystem()};
    LogLines log_;
};

TEST_P(SchemaOperationsTest, AddColumnAddsAMissingColumnOnce) {
    SchemaOperations ops = operations();
    EXPECT_TRUE(ops.AddColumn("tblPrinters", "YTonerOrder", "string (50)"));
    EXPECT_FALSE(ops.AddColumn("tblPrinters", "YTonerOrder", "string (50)"));
    EXPECT_TRUE(columns("tblPrinters").contains("YTonerOrder"));
    EXPECT_FALSE(ops.failed());
    const QString trace =
        "AddColumn. Table: tblPrinters, Column: YTonerOrder, ColumnType: string (50)";
    EXPECT_EQ(log_.lines, std::vector<QString>({trace, trace}));
}

TEST_P(SchemaOperationsTest, AddColumnWithoutTypeAddsAnIntegerColumn) {
    EXPECT_TRUE(operations().AddColumn("tblPrinters", "Copies"));
    EXPECT_EQ(
        log_.lines,
        std::vector<QString>{"AddColumn. Table: tblPrinters, Column: Copies, ColumnType: integer"});
    runStatements(jetConnection(file_), {"UPDATE tblPrinters SET Copies = '0042'"});
    EXPECT_EQ(readValue(jetConnection(file_), "SELECT Copies FROM tblPrinters").toInt(), 42);
}

TEST_P(SchemaOperationsTest, AColumnUnderAnotherCapitalisationIsRejected) {
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddColumn("tblPrinters", "tonerlimit"));
    EXPECT_TRUE(ops.failed());
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_TRUE(log_.lines[1].startsWith("Database error: ")) << log_.lines[1].toStdString();
    EXPECT_GT(log_.lines[1].size(), QString("Database error: ").size());
    EXPECT_EQ(columns("tblPrinters").filter("tonerlimit", Qt::CaseInsensitive).size(), 1);
}

TEST_P(SchemaOperationsTest, AColumnOfAMissingTableIsAFailureWithoutAlteration) {
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddColumn("tblMissing", "X", "string (5)"));
    EXPECT_TRUE(ops.failed());
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_TRUE(log_.lines[1].startsWith("Database error: "));
    EXPECT_TRUE(columns("tblMissing").isEmpty());
}

TEST_P(SchemaOperationsTest, AnEmptyTableStillShowsItsColumns) {
    runStatements(jetConnection(file_), {"DELETE FROM tblDepartment"});
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddColumn("tblDepartment", "DepartmentID"));
    EXPECT_FALSE(ops.AddTable("tblDepartment", "DepartmentID integer"));
    EXPECT_FALSE(ops.failed());
}

TEST_P(SchemaOperationsTest, AddTableCreatesAMissingTableOnceAndLogsItsStatement) {
    SchemaOperations ops = operations();
    const QString definition =
        "FlowID counter, PrinterID integer default 0, [TimeStamp] date, "
        "TonerLevel integer";
    EXPECT_TRUE(ops.AddTable("tblTonerFlow", definition));
    EXPECT_FALSE(ops.AddTable("tblTonerFlow", definition));
    EXPECT_FALSE(ops.AddTable("tblPrinters", "X integer"));
    EXPECT_FALSE(ops.failed());
    EXPECT_EQ(columns("tblTonerFlow"),
              QStringList({"FlowID", "PrinterID", "TimeStamp", "TonerLevel"}));
    EXPECT_EQ(log_.lines,
              std::vector<QString>{sqlServerOr(
                  "CREATE TABLE tblTonerFlow (FlowID int IDENTITY (1, 1) NOT NULL, PrinterID int "
                  "default 0, [TimeStamp] datetime, TonerLevel int);",
                  "CREATE TABLE tblTonerFlow (" + definition + ");")});
}

TEST_P(SchemaOperationsTest, AddTableOnADatabaseThatCannotBeReachedFails) {
    const QString unreachable = dir_.file("no folder/Pelorix.mdb");
    SchemaOperations ops({GetParam().connection(unreachable), GetParam().isSqlServer, true},
                         database_, log_.writer());
    EXPECT_FALSE(ops.AddTable("tblTonerFlow", "TonerLevel integer"));
    EXPECT_TRUE(ops.failed());
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_TRUE(log_.lines[0].startsWith("CREATE TABLE tblTonerFlow ("));
    EXPECT_TRUE(log_.lines[1].startsWith("Database error (add table): "));
}

TEST_P(SchemaOperationsTest, StatementOperationsNeitherFailNorClearTheSession) {
    SchemaOperations ops = operations();
    ops.AlterTable("tblMissing", "ALTER COLUMN X string (5)");
    ops.UpdateTable("tblMissing", "SET X = 1");
    ops.CreateIndex("tblMissing", "X", true);
    EXPECT_FALSE(ops.failed());
    ASSERT_EQ(log_.lines.size(), 6u);
    EXPECT_EQ(log_.lines[0], sqlServerOr("ALTER TABLE tblMissing ALTER COLUMN X nvarchar (5)",
                                         "ALTER TABLE tblMissing ALTER COLUMN X string (5)"));
    EXPECT_TRUE(log_.lines[1].startsWith("Database error (alter table): "));
    EXPECT_EQ(log_.lines[2], "UPDATE tblMissing SET X = 1");
    EXPECT_TRUE(log_.lines[3].startsWith("Database error (update table): "));
    EXPECT_EQ(log_.lines[4], "CREATE  UNIQUE Index X ON [tblMissing] ([X])");
    EXPECT_TRUE(log_.lines[5].startsWith("Database error (Create index on table): "));

    ops.AddColumn("tblMissing", "X");
    ops.AlterTable("tblPrinters", "ADD COLUMN Y integer");
    EXPECT_TRUE(ops.failed());
}

TEST_P(SchemaOperationsTest, WithoutUpdateLogFailuresLeaveNoTrace) {
    SchemaOperations ops = operations(false);
    ops.AddColumn("tblMissing", "X");
    ops.AddTable("tblPrinters", "X integer");
    ops.AlterTable("tblMissing", "ALTER COLUMN X string (5)");
    ops.UpdateTable("tblMissing", "SET X = 1");
    ops.CreateIndex("tblMissing", "X", false);
    ops.AddPrinterType(9, "Axis Printbox (SW)");
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_TRUE(ops.failed());
}

TEST_P(SchemaOperationsTest, UpdateTableChangesMatchingRowsAndIgnoresNoMatch) {
    SchemaOperations ops = operations();
    ops.UpdateTable("tblPrinters", "SET TonerLimit = -1 WHERE TonerLimit = 0");
    ops.UpdateTable("tblPrinters", "SET TonerLimit = -1 WHERE TonerLimit = 0");
    EXPECT_EQ(log_.lines.size(), 2u);
    const auto limits =
        readRows(jetConnection(file_), "SELECT TonerLimit FROM tblPrinters ORDER BY PrinterID");
    ASSERT_EQ(limits.size(), 3u);
    EXPECT_EQ(limits[0][0].toInt(), -1);
    EXPECT_EQ(limits[1][0].toInt(), 15);
    EXPECT_EQ(limits[2][0].toInt(), -1);
}

TEST_P(SchemaOperationsTest, TheIndexIsCreatedOnceAndItsSecondCreationIsLoggedAndIgnored) {
    SchemaOperations ops = operations();
    const QString statement =
        "CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])";
    ops.CreateIndex("tblDepartment", "DepartmentID", true);
    EXPECT_EQ(log_.lines, std::vector<QString>{statement});
    ops.CreateIndex("tblDepartment", "DepartmentID", true);
    ASSERT_EQ(log_.lines.size(), 3u);
    EXPECT_EQ(log_.lines[1], statement);
    EXPECT_TRUE(log_.lines[2].startsWith("Database error (Create index on table): "));
    EXPECT_FALSE(ops.failed());
    // The index is unique.
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    EXPECT_FALSE(
        database
            .execute(jetConnection(file_), "INSERT INTO tblDepartment (DepartmentID) VALUES (1)")
            .ok);
}

TEST_P(SchemaOperationsTest, APlainIndexStatementHasOneBlankAfterCreate) {
    operations().CreateIndex("tblPrinters", "PrinterName", false);
    EXPECT_EQ(log_.lines,
              std::vector<QString>{"CREATE Index PrinterName ON [tblPrinters] ([PrinterName])"});
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    EXPECT_TRUE(database
                    .execute(jetConnection(file_),
                             "INSERT INTO tblPrinters (PrinterName) VALUES ('Floor 1')")
                    .ok);
}

TEST_P(SchemaOperationsTest, DropDefaultDoesNothingWithoutTheSqlServerCatalogue) {
    SchemaOperations ops = operations();
    ops.DropDefault("tblPrinters", "TonerLimit");
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_FALSE(ops.failed());
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaOperationsTest, ::testing::Values(kEmbedded, kSqliteOdbc),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::test
