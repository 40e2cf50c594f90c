#include "platform/database/row_statement.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using platform::ColumnNames;

// Text quotes are doubled, NULL stays a keyword, numbers are bare; brackets only when asked.
TEST(RowStatement, ListsTheRowAsTheInsertThatStoresIt) {
    const std::vector<platform::FieldValue> row{{"Type", QVariant::fromValue(qint16(9))},
                                                {"TypeText", QString("O'Neil (SW)")},
                                                {"Note", QVariant()}};
    EXPECT_EQ(platform::insertStatement("tblTypes", row, ColumnNames::AsGiven),
              "INSERT INTO tblTypes (Type, TypeText, Note) VALUES (9, 'O''Neil (SW)', NULL)");
    EXPECT_EQ(platform::insertStatement("tblTypes", row, ColumnNames::Bracketed),
              "INSERT INTO tblTypes ([Type], [TypeText], [Note]) VALUES (9, 'O''Neil (SW)', NULL)");
}

}  // namespace
}  // namespace pelorix::test
