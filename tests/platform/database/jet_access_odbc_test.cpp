#include "platform/database/jet_access_odbc.h"

#include <gtest/gtest.h>

#include <utility>

namespace pelorix::platform {
namespace {

TEST(JetForAccessOdbc, DropsWhatOnlyTheOleDbProviderAccepts) {
    const std::pair<const char*, const char*> cases[] = {
        {"CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer default 0, [TimeStamp] "
         "date, TonerLevel integer);",
         "CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer, [TimeStamp] date, "
         "TonerLevel integer);"},
        {"ALTER TABLE t ADD [n] string (50) DEFAULT 'a''b' NOT NULL",
         "ALTER TABLE t ADD [n] string (50) NOT NULL"},
        {"create table t (a integer DEFAULT -1, b MEMO WITH COMPRESSION, c date default (Now()))",
         "create table t (a integer, b MEMO, c date)"},
        {"ALTER TABLE t ADD [YTonerOrder] string (50)",
         "ALTER TABLE t ADD [YTonerOrder] string (50)"},
        // Names and text that merely contain the words stay as they are.
        {"UPDATE t SET [default] = 'default 0' WHERE x = 1",
         "UPDATE t SET [default] = 'default 0' WHERE x = 1"},
        {"CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])",
         "CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])"},
    };
    for (const auto& [jet, accepted] : cases) {
        EXPECT_EQ(jetForAccessOdbc(jet), accepted) << jet;
    }
}

TEST(AccessOdbcString, NamesTheDriverAndTheFileTheWindowsWay) {
    EXPECT_EQ(accessOdbcString("Microsoft Access Driver (*.mdb)", "C:/Pelorix/Daten.mdb", false),
              "Driver={Microsoft Access Driver (*.mdb)};DBQ=" +
                  QDir::toNativeSeparators("C:/Pelorix/Daten.mdb"));
    EXPECT_EQ(accessOdbcString("D", "/a;b/x.mdb", true),
              "Driver={D};DBQ={" + QDir::toNativeSeparators("/a;b/x.mdb") + "};ReadOnly=1");
}

}  // namespace
}  // namespace pelorix::platform
