#include "schema/convert_sql.h"

#include <gtest/gtest.h>

namespace pelorix::schema {
namespace {

const QString kAllSeven =
    "CREATE TABLE t (a counter, b MEMO, c integer, d string (50) WITH COMPRESSION, e yesno, "
    "f date)";

TEST(ConvertSQL, JetStatementsComeBackIdentical) {
    EXPECT_EQ(ConvertSQL(kAllSeven, false), kAllSeven);
    EXPECT_EQ(ConvertSQL("", false), "");
    EXPECT_EQ(ConvertSQL("", true), "");
}

TEST(ConvertSQL, SqlServerGetsItsTypeNamesAndLosesTheCompressionAttribute) {
    EXPECT_EQ(ConvertSQL(kAllSeven, true),
              "CREATE TABLE t (a int IDENTITY (1, 1) NOT NULL, b ntext, c int, d nvarchar (50) , "
              "e bit, f datetime)");
    EXPECT_EQ(ConvertSQL("CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer default "
                         "0, [TimeStamp] date, TonerLevel integer);",
                         true),
              "CREATE TABLE tblTonerFlow (FlowID int IDENTITY (1, 1) NOT NULL, PrinterID int "
              "default 0, [TimeStamp] datetime, TonerLevel int);");
    EXPECT_EQ(ConvertSQL("ALTER TABLE tblPrinters ALTER COLUMN WarningTime string (50)", true),
              "ALTER TABLE tblPrinters ALTER COLUMN WarningTime nvarchar (50)");
    EXPECT_EQ(ConvertSQL("UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0", true),
              "UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0");
}

TEST(ConvertSQL, NamesContainingASearchedTextAreRewrittenToo) {
    EXPECT_EQ(ConvertSQL("ALTER TABLE t ADD [LastUpdate] integer", true),
              "ALTER TABLE t ADD [LastUpdatetime] int");
    EXPECT_EQ(ConvertSQL("ALTER TABLE t ADD [mycounter] integer", true),
              "ALTER TABLE t ADD [myint IDENTITY (1, 1) NOT NULL] int");
}

TEST(ConvertSQL, InsertedTextIsNotRescannedButLaterStepsSeeIt) {
    // "date" in an existing datetime is found again; the inserted datetime is not.
    EXPECT_EQ(ConvertSQL("a datetime, b date", true), "a datetimetime, b datetime");
    EXPECT_EQ(ConvertSQL("a int, b nvarchar (9), c bit, d ntext", true),
              "a int, b nvarchar (9), c bit, d ntext");
    EXPECT_EQ(ConvertSQL("x counter, y counter", true),
              "x int IDENTITY (1, 1) NOT NULL, y int IDENTITY (1, 1) NOT NULL");
}

TEST(ConvertSQL, ComparesCaseSensitively) {
    const QString others =
        "UPDATE Counter COUNTER Integer String YesNo Date DATE Memo "
        "with compression";
    EXPECT_EQ(ConvertSQL(others, true), others);
    EXPECT_EQ(ConvertSQL("MEMO", true), "ntext");
}

}  // namespace
}  // namespace pelorix::schema
