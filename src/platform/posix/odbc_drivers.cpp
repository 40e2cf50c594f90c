#include "platform/odbc_drivers.h"

namespace pelorix::platform {

// unixODBC reaches SQL Server through FreeTDS; no driver reads a Jet file, so the Jet role is
// played by a SQLite file alone.
QString defaultSqlServerOdbcDriver() {
    return QStringLiteral("FreeTDS");
}

QString accessOdbcDriver() {
    return {};
}

}  // namespace pelorix::platform
