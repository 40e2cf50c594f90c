#pragma once

#include <QString>

namespace pelorix::platform {

// A query that returns one row when the table has an index of that name, and none otherwise.
QString indexLookupStatement(bool sqlServer, const QString& table, const QString& index);

}  // namespace pelorix::platform
