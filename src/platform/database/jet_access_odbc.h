#pragma once

#include <QString>

namespace pelorix::platform {

// The ODBC connection string that opens a Jet database file through the Access ODBC driver.
QString accessOdbcString(const QString& driver, const QString& file, bool readOnly);

// The Access ODBC driver speaks Jet SQL in its ANSI-89 mode, which knows the Jet types (counter,
// string, integer, MEMO, yesno, date) but neither a column's DEFAULT clause nor WITH
// COMPRESSION: both come only through the OLE DB provider. This drops them from CREATE TABLE and
// ALTER TABLE statements, so that the table or column is made without them rather than not at
// all; every other statement passes unchanged.
QString jetForAccessOdbc(const QString& statement);

}  // namespace pelorix::platform
