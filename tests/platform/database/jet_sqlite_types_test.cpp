#include "platform/database/jet_sqlite_types.h"

#include <gtest/gtest.h>

namespace pelorix::platform {
namespace {

TEST(JetTypesToSqlite, TonerFlowTableGetsAnAutoNumberedKeyAndDeclaredTypes) {
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer "
                               "default 0, [TimeStamp] date, TonerLevel integer);"),
              "CREATE TABLE tblTonerFlow (FlowID INTEGER PRIMARY KEY AUTOINCREMENT, PrinterID "
              "INTEGER default 0, [TimeStamp] DATETIME, TonerLevel INTEGER);");
}

TEST(JetTypesToSqlite, AddedColumnsGetTextAffinityForStringAndMemo) {
    EXPECT_EQ(jetTypesToSqlite("ALTER TABLE tblPrinters ADD [YTonerOrder] string (50)"),
              "ALTER TABLE tblPrinters ADD [YTonerOrder] VARCHAR (50)");
    EXPECT_EQ(jetTypesToSqlite("alter table t add column Notes Memo with compression"),
              "alter table t add column Notes TEXT ");
    EXPECT_EQ(jetTypesToSqlite("ALTER TABLE t ALTER COLUMN Flag yesno"),
              "ALTER TABLE t ALTER COLUMN Flag BOOLEAN");
}

TEST(JetTypesToSqlite, NamesDefaultsAndLiteralsAreNeverTouched) {
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE [date] ([string] string (20) WITH COMP, counter "
                               "counter, \"memo\" MEMO, yesno yesno default 'date', "
                               "[integer] integer)"),
              "CREATE TABLE [date] ([string] VARCHAR (20) , counter INTEGER PRIMARY KEY "
              "AUTOINCREMENT, \"memo\" TEXT, yesno BOOLEAN default 'date', [integer] INTEGER)");
}

TEST(JetTypesToSqlite, CounterKeysAndTableConstraints) {
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE t (ID counter (100, 5) NOT NULL, Name string)"),
              "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, Name VARCHAR)");
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE t (ID counter PRIMARY KEY, N integer)"),
              "CREATE TABLE t (ID INTEGER PRIMARY KEY, N INTEGER)");
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE t (a integer, CONSTRAINT pk PRIMARY KEY (a), "
                               "UNIQUE (a))"),
              "CREATE TABLE t (a INTEGER, CONSTRAINT pk PRIMARY KEY (a), UNIQUE (a))");
}

// The compression attribute inside a counter's parentheses is replaced with the counter; the
// rest of the statement stays.
TEST(JetTypesToSqlite, AnEditInsideAnotherKeepsTheRestOfTheStatement) {
    EXPECT_EQ(jetTypesToSqlite("CREATE TABLE t (a counter (1 WITH COMPRESSION), b integer)"),
              "CREATE TABLE t (a INTEGER PRIMARY KEY AUTOINCREMENT, b INTEGER)");
}

TEST(JetTypesToSqlite, OtherStatementsPassUnchanged) {
    for (const QString statement :
         {"Select * from tblTypes", "UPDATE t SET string = 'counter' WHERE date = 1",
          "INSERT INTO t (integer) VALUES (1)", "CREATE  UNIQUE Index date ON [t] ([date])",
          "ALTER TABLE t DROP COLUMN string", "", "CREATE TABLE", "ALTER TABLE t ADD"}) {
        EXPECT_EQ(jetTypesToSqlite(statement), statement) << statement.toStdString();
    }
}

}  // namespace
}  // namespace pelorix::platform
