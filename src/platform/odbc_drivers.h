#pragma once

#include <QString>

namespace pelorix::platform {

// The ODBC driver that SQL Server connection strings go to when the settings name none.
QString defaultSqlServerOdbcDriver();

// The ODBC driver that opens a Jet database file, or the empty text where this system has none.
QString accessOdbcDriver();

}  // namespace pelorix::platform
