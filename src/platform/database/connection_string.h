#pragma once

#include <QString>

#include <chrono>
#include <optional>
#include <utility>
#include <vector>

namespace pelorix::platform {

using ConnectionPairs = std::vector<std::pair<QString, QString>>;

// The keyword/value pairs of an ADO or ODBC connection string, in their order: keywords
// trimmed, values trimmed and freed of their quotes ("…", '…' with doubled quotes inside, or
// ODBC's {…} with "}}" inside). Segments without "=" are dropped.
ConnectionPairs parseConnectionString(const QString& text);

enum class DatabaseKind {
    Embedded,     // the Jet role: a SQLite file
    Odbc,         // any ODBC data source, SQL Server through FreeTDS included
    Unsupported,  // a provider this program cannot reach
};

struct DatabaseTarget {
    DatabaseKind kind = DatabaseKind::Unsupported;
    QString location;  // the embedded database's file name, or the ODBC connection string
    QString error;     // why an unsupported string cannot be used
    // "Connect Timeout" (or "Connection Timeout") of the string, when it gives a positive one.
    std::optional<std::chrono::seconds> connectTimeout;
};

// Where an ADO connection string leads:
// - Microsoft.Jet.OLEDB.* / Microsoft.ACE.OLEDB.*: the file of "Data Source", name kept as is;
// - an ODBC string ("Driver=…", "DSN=…", "FileDSN=…"): ODBC with the string as it is;
// - MSDASQL (ADO's ODBC provider): ODBC with the other pairs;
// - SQLOLEDB, SQLNCLI*, MSOLEDBSQL*: an ODBC string for the given SQL Server driver with the
//   server, catalogue and login of the ADO string.
DatabaseTarget mapConnectionString(const QString& adoConnectionString,
                                   const QString& sqlServerOdbcDriver);

// Whether the string names the Jet or ACE provider, whose database is the embedded file; read
// the same way as the mapping reads it (quoted values included).
bool namesEmbeddedDatabase(const QString& adoConnectionString);

// The file of a Jet or ACE string's embedded database ("Data Source"), as the mapping reads it;
// nothing for a string of any other provider.
std::optional<QString> embeddedDatabaseFile(const QString& adoConnectionString);

// Pairs joined into an ODBC connection string; values that need it are put in braces.
QString buildOdbcString(const ConnectionPairs& pairs);

// The ODBC connection string for the pairs of an ADO SQL Server string. For FreeTDS the host and
// port are its own keywords and the protocol is TDS 7.4 (which SQL Server 2005 and later accept,
// answering with their own version); Microsoft's drivers get the server as the string names it.
QString sqlServerOdbcString(const ConnectionPairs& adoPairs, const QString& driverName);

}  // namespace pelorix::platform
