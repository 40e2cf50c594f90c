#include "platform/odbc_drivers.h"

namespace pelorix::platform {

// Every Windows has the "SQL Server" driver.
QString defaultSqlServerOdbcDriver() {
    return QStringLiteral("SQL Server");
}

// Jet's own driver exists for 32-bit programs only; a 64-bit program needs the Access Database
// Engine, installed separately, whose driver also reads .accdb files.
QString accessOdbcDriver() {
    constexpr bool is64Bit = sizeof(void*) == 8;
    return is64Bit ? QStringLiteral("Microsoft Access Driver (*.mdb, *.accdb)")
                   : QStringLiteral("Microsoft Access Driver (*.mdb)");
}

}  // namespace pelorix::platform
