#include "platform/database/index_lookup.h"

namespace pelorix::platform {

namespace {

QString quoted(const QString& name) {
    return "'" + QString(name).replace("'", "''") + "'";
}

}  // namespace

// The embedded database file of this build is SQLite, whose catalogue names every index.
QString indexLookupStatement(bool sqlServer, const QString& table, const QString& index) {
    if (sqlServer) {
        return "SELECT name FROM sys.indexes WHERE object_id = OBJECT_ID(" + quoted(table) +
               ") AND name = " + quoted(index);
    }
    return "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = " + quoted(table) +
           " AND name = " + quoted(index) + " COLLATE NOCASE";
}

}  // namespace pelorix::platform
