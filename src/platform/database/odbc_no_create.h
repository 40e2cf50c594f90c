#pragma once

#include <QString>

namespace pelorix::platform {

// The ODBC string with "NoCreat=1" added where the SQLite ODBC driver may read it: a string for
// that driver, or one that names a data source (whose driver is configured elsewhere; other
// drivers pass over a keyword they do not know). Without it the driver creates an empty database
// in place of a missing file. A string that says NoCreat itself is left as it is.
QString withoutDatabaseCreation(const QString& odbcString);

}  // namespace pelorix::platform
