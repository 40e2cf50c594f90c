#include "recording_database.h"
#include "schema/schema_operations.h"
#include "schema_fixture.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using schema::SchemaOperations;

class DropDefaultTest : public ::testing::Test {
  protected:
    SchemaOperations operations(bool updateLog = true) {
        return SchemaOperations({"Provider=SQLOLEDB;Data Source=db", true, updateLog}, database_,
                                log_.writer());
    }
    void answer(std::vector<QVariantList> rows) {
        database_.onQuery = [rows](const QString&) {
            return platform::QueryResult{true, {}, {"name"}, rows};
        };
    }

    RecordingDatabase database_;
    LogLines log_;
};

TEST_F(DropDefaultTest, DropsTheFirstMatchingConstraintUnconverted) {
    answer({{"DF__tblPrinte__Toner__1A2B"}, {"DF__other"}});
    operations().DropDefault("tblPrinters", "TonerLimit");
    const QString drop = "ALTER TABLE tblPrinters DROP DF__tblPrinte__Toner__1A2B";
    EXPECT_EQ(database_.texts(),
              QStringList({"query: SELECT name from sysobjects where name like 'df%' and name "
                           "like '%Tone%'",
                           "execute: " + drop}));
    EXPECT_EQ(log_.lines, std::vector<QString>{drop});
}

TEST_F(DropDefaultTest, AShortColumnNameIsUsedWholeAndNoMatchDoesNothing) {
    answer({});
    operations().DropDefault("tblData", "ID");
    EXPECT_EQ(database_.texts(),
              QStringList{"query: SELECT name from sysobjects where name like 'df%' and name "
                          "like '%ID%'"});
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(DropDefaultTest, AFailedDropIsLoggedOnlyWithUpdateLog) {
    answer({{"DF_x"}});
    database_.onExecute = [](const QString&) {
        return platform::DbResult{false, "Permission denied."};
    };
    operations().DropDefault("t", "column");
    EXPECT_EQ(log_.lines,
              std::vector<QString>({"ALTER TABLE t DROP DF_x",
                                    "Database error (drop default): Permission denied."}));
    log_.lines.clear();
    SchemaOperations quiet = operations(false);
    quiet.DropDefault("t", "column");
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_FALSE(quiet.failed());
}

TEST(SchemaStatements, SqlServerStatementsAreConvertedBeforeTheyAreSent) {
    RecordingDatabase database;
    database.onQuery = [](const QString& statement) {
        return statement == "Select * from tblPrinters"
                   ? platform::QueryResult{true, {}, {"PrinterID"}, {}}
                   : platform::QueryResult{false, "Invalid object name.", {}, {}};
    };
    const QString connection = "Provider=SQLOLEDB;Data Source=db";
    SchemaOperations ops({connection, true, false}, database, {});
    ops.AddColumn("tblPrinters", "YTonerOrder", "string (50)");
    ops.AddTable("tblTonerFlow", "FlowID counter, [TimeStamp] date");
    ops.AlterTable("tblData", "ALTER COLUMN RawRead string (255)");
    EXPECT_EQ(database.texts(),
              QStringList({"query: Select * from tblPrinters",
                           "execute: ALTER TABLE tblPrinters ADD [YTonerOrder] nvarchar (50)",
                           "query: Select * from tblTonerFlow",
                           "execute: CREATE TABLE tblTonerFlow (FlowID int IDENTITY (1, 1) NOT "
                           "NULL, [TimeStamp] datetime);",
                           "execute: ALTER TABLE tblData ALTER COLUMN RawRead nvarchar (255)"}));
    for (const auto& call : database.calls) {
        EXPECT_EQ(call.connection, connection);
    }
    EXPECT_FALSE(ops.failed());
}

}  // namespace
}  // namespace pelorix::test
