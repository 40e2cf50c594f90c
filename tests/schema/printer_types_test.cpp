#include "platform/file_system.h"
#include "recording_database.h"
#include "schema/schema_operations.h"
#include "schema_fixture.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using schema::SchemaOperations;

class PrinterTypesTest : public ::testing::TestWithParam<Backend> {
  protected:
    SchemaOperations operations() {
        return SchemaOperations({GetParam().connection(file_), GetParam().isSqlServer, true},
                                database_, log_.writer());
    }
    std::vector<QVariantList> types() const {
        return readRows(jetConnection(file_),
                        "SELECT [Type], TypeText FROM tblTypes ORDER BY [Type]");
    }

    TempDir dir_;
    QString file_ = createDatabaseFile(dir_);
    platform::QtSqlDatabase database_{platform::defaultFileSystem()};
    LogLines log_;
};

TEST_P(PrinterTypesTest, AMissingTypeIsAddedOnceWithBothFields) {
    createPelorixTables(jetConnection(file_));
    SchemaOperations ops = operations();
    EXPECT_TRUE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_FALSE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    const auto rows = types();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[8][0].toInt(), 9);
    EXPECT_EQ(rows[8][1].toString(), "Axis Printbox (SW)");
    EXPECT_FALSE(ops.failed());
    const QString trace = "AddPrinterType. ID: 9, TypeName: Axis Printbox (SW)";
    EXPECT_EQ(log_.lines, std::vector<QString>({trace, trace}));
}

TEST_P(PrinterTypesTest, AnExistingIdKeepsItsTextAndATextUnderAnotherIdDoesNotCount) {
    createPelorixTables(jetConnection(file_));
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddPrinterType(3, "Kyocera Mita (SW)"));
    EXPECT_TRUE(ops.AddPrinterType(12, "Type 3"));
    const auto rows = types();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[2][1].toString(), "Type 3");
    EXPECT_EQ(rows[8][1].toString(), "Type 3");
}

TEST_P(PrinterTypesTest, AnEmptyTypeTableGetsNothing) {
    createPelorixTables(jetConnection(file_), "6.1.0", false);
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_TRUE(types().empty());
    EXPECT_FALSE(ops.failed());
}

TEST_P(PrinterTypesTest, NullIdsMatchNothingAndIdsCompareAsNumbers) {
    runStatements(jetConnection(file_),
                  {"CREATE TABLE tblTypes ([Type] string (10), TypeText string (50))",
                   "INSERT INTO tblTypes (TypeText) VALUES ('no id')",
                   "INSERT INTO tblTypes ([Type], TypeText) VALUES (' 10.0', 'ten')"});
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddPrinterType(10, "Lexmark Drucker (SW)"));
    EXPECT_TRUE(ops.AddPrinterType(0, "zero"));
    EXPECT_EQ(types().size(), 3u);
}

TEST_P(PrinterTypesTest, AMissingTypeTableIsADatabaseError) {
    SchemaOperations ops = operations();
    EXPECT_FALSE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_TRUE(ops.failed());
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_TRUE(log_.lines[1].startsWith("Database error (add printer type): "));
}

INSTANTIATE_TEST_SUITE_P(Backends, PrinterTypesTest, ::testing::Values(kEmbedded, kSqliteOdbc),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// A row whose storing fails after it was counted still counts, and fails the session.
TEST(PrinterTypes, AFailedStoreStillCountsAndFailsTheSession) {
    class RefusingStore : public RecordingDatabase {
      public:
        platform::DbResult appendRow(const QString& c, const QString& t,
                                     const std::vector<platform::FieldValue>& v) override {
            RecordingDatabase::appendRow(c, t, v);
            return {false, "Cannot insert the value NULL into column 'Model'."};
        }
    } database;
    database.onQuery = [](const QString&) {
        return platform::QueryResult{true, {}, {"TYPE", "typetext"}, {{1, "one"}}};
    };
    LogLines log;
    SchemaOperations ops({"DSN=x", true, true}, database, log.writer());
    EXPECT_TRUE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_TRUE(ops.failed());
    EXPECT_EQ(
        log.lines.back(),
        "Database error (add printer type): Cannot insert the value NULL into column 'Model'.");
    ASSERT_EQ(database.calls.size(), 2u);
    EXPECT_EQ(database.calls[1].text, "tblTypes");
    ASSERT_EQ(database.calls[1].values.size(), 2u);
    EXPECT_EQ(database.calls[1].values[0].column, "TYPE");
    EXPECT_EQ(database.calls[1].values[0].value, QVariant::fromValue(qint16(9)));
    EXPECT_EQ(database.calls[1].values[1].column, "typetext");
}

TEST(PrinterTypes, ATypeTableWithoutTheTextColumnIsAFailureBeforeCounting) {
    RecordingDatabase database;
    database.onQuery = [](const QString&) {
        return platform::QueryResult{true, {}, {"Type"}, {{1}}};
    };
    LogLines log;
    SchemaOperations ops({"DSN=x", false, false}, database, log.writer());
    EXPECT_FALSE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_TRUE(ops.failed());
    EXPECT_EQ(database.calls.size(), 1u);
}

}  // namespace
}  // namespace pelorix::test
