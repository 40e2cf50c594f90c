#include "platform/file_system.h"
#include "schema/schema_operations.h"
#include "schema_fixture.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using schema::SchemaOperations;

// The embedded database behaves as the Jet engine would for the columns the migration adds.
class EmbeddedEngineTest : public ::testing::Test {
  protected:
    EmbeddedEngineTest() { createPelorixTables(connection_); }

    TempDir dir_;
    QString file_ = createDatabaseFile(dir_);
    QString connection_ = jetConnection(file_);
    platform::QtSqlDatabase database_{platform::defaultFileSystem()};
    LogLines log_;
    SchemaOperations ops_{{connection_, false, true}, database_, log_.writer()};
};

TEST_F(EmbeddedEngineTest, TextWithLeadingZerosInTheAddedTonerOrderColumnReadsBackUnchanged) {
    ASSERT_TRUE(ops_.AddColumn("tblPrinters", "YTonerOrder", "string (50)"));
    runStatements(connection_, {"UPDATE tblPrinters SET YTonerOrder = '0042' WHERE TonerLimit = 15",
                                "UPDATE tblPrinters SET YTonerOrder = '1e3' WHERE TonerLimit = 0"});
    ASSERT_TRUE(database_
                    .appendRow(connection_, "tblPrinters",
                               {{"PrinterName", "Floor 4"}, {"YTonerOrder", "007"}})
                    .ok);
    const auto rows =
        readRows(connection_, "SELECT YTonerOrder FROM tblPrinters ORDER BY PrinterID");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0], QVariant("1e3"));
    EXPECT_EQ(rows[1][0], QVariant("0042"));
    EXPECT_EQ(rows[3][0], QVariant("007"));
    EXPECT_EQ(readValue(connection_, "SELECT typeof(YTonerOrder) FROM tblPrinters LIMIT 1"),
              QVariant("text"));
}

TEST_F(EmbeddedEngineTest, NewTonerFlowRowsGetNumberedFlowIds) {
    ASSERT_TRUE(ops_.AddTable("tblTonerFlow",
                              "FlowID counter, PrinterID integer default 0, "
                              "[TimeStamp] date, TonerLevel integer"));
    runStatements(connection_, {"INSERT INTO tblTonerFlow (PrinterID, TonerLevel) VALUES (1, 80)",
                                "INSERT INTO tblTonerFlow ([TimeStamp], TonerLevel) VALUES "
                                "('2024-05-01 10:00:00', 60)",
                                "DELETE FROM tblTonerFlow WHERE TonerLevel = 60",
                                "INSERT INTO tblTonerFlow (TonerLevel) VALUES (40)"});
    const auto rows = readRows(
        connection_, "SELECT FlowID, PrinterID, TonerLevel FROM tblTonerFlow ORDER BY FlowID");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toInt(), 1);
    EXPECT_EQ(rows[0][1].toInt(), 1);
    // A number once given is not given again, as with Jet's counter.
    EXPECT_EQ(rows[1][0].toInt(), 3);
    EXPECT_EQ(rows[1][1].toInt(), 0);  // "default 0"
}

TEST_F(EmbeddedEngineTest, ALockedDatabaseFailsTheSessionQuickly) {
    platform::QtSqlDatabase::Options options;
    options.sqliteBusyTimeout = std::chrono::milliseconds(20);
    platform::QtSqlDatabase impatient(platform::defaultFileSystem(), options);
    SchemaOperations ops({connection_, false, true}, impatient, log_.writer());
    ExclusiveLock lock(file_);
    ASSERT_TRUE(lock.held());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(ops.AddColumn("tblPrinters", "YTonerOrder", "string (50)"));
    EXPECT_FALSE(ops.AddPrinterType(9, "Axis Printbox (SW)"));
    EXPECT_FALSE(ops.AddTable("tblTonerFlow", "TonerLevel integer"));
    EXPECT_FALSE(ops.CheckDBVersionSmaller("6.2.0"));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(ops.failed());
    EXPECT_TRUE(std::any_of(log_.lines.begin(), log_.lines.end(), [](const QString& line) {
        return line.startsWith("Database error: ") && line.contains("locked");
    }));
    lock.release();
    EXPECT_FALSE(columnsOf(connection_, "tblPrinters").contains("YTonerOrder"));
    EXPECT_TRUE(columnsOf(connection_, "tblTonerFlow").isEmpty());
}

}  // namespace
}  // namespace pelorix::test
