#include "platform/database/connection_string.h"
#include "platform/database/database_connection.h"

#include <gtest/gtest.h>

namespace pelorix::platform {
namespace {

// The mapping with the program's own SQL Server driver.
DatabaseTarget mapWithDefaultDriver(const QString& adoConnectionString) {
    return mapConnectionString(adoConnectionString, "FreeTDS");
}

TEST(ConnectionStringParse, QuotesBracesAndEscapedEqualsSigns) {
    const ConnectionPairs pairs = parseConnectionString(
        " Provider = SQLOLEDB ;Password=\"a;\"\"b\";User Id='it''s';Key==Name=v;"
        "PWD={x}}y;z};junk;Empty=;");
    const ConnectionPairs expected{{"Provider", "SQLOLEDB"}, {"Password", "a;\"b"},
                                   {"User Id", "it's"},      {"Key=Name", "v"},
                                   {"PWD", "x}y;z"},         {"Empty", ""}};
    EXPECT_EQ(pairs, expected);
}

TEST(ConnectionStringMap, JetAndAceStringsOpenTheDataSourceFileAsItIsNamed) {
    const DatabaseTarget jet = mapWithDefaultDriver(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/var/lib/Pelorix\\Pelorix.mdb;"
        "User Id=admin;Password=;");
    EXPECT_EQ(jet.kind, DatabaseKind::Embedded);
    EXPECT_EQ(jet.location, "/var/lib/Pelorix\\Pelorix.mdb");

    const DatabaseTarget ace =
        mapWithDefaultDriver("provider=microsoft.ace.oledb.12.0;data source=\"/data/a;b.accdb\"");
    EXPECT_EQ(ace.kind, DatabaseKind::Embedded);
    EXPECT_EQ(ace.location, "/data/a;b.accdb");
}

TEST(ConnectionStringMap, OdbcStringsPassUnchanged) {
    for (const QString odbc : {"Driver=SQLite3;Database=/tmp/p.db", "DSN=Pelorix;UID=sa;PWD=x",
                               "FILEDSN=/etc/pelorix.dsn"}) {
        const DatabaseTarget target = mapWithDefaultDriver(odbc);
        EXPECT_EQ(target.kind, DatabaseKind::Odbc) << odbc.toStdString();
        EXPECT_EQ(target.location, odbc);
    }
}

TEST(ConnectionStringMap, SqlServerProvidersBecomeFreeTdsStrings) {
    const DatabaseTarget login = mapWithDefaultDriver(
        "Provider=SQLOLEDB.1;Data Source=dbhost\\SQLEXPRESS;Initial Catalog=Pelorix;"
        "User Id=sa;Password=\"p;w\";Persist Security Info=False");
    EXPECT_EQ(login.kind, DatabaseKind::Odbc);
    EXPECT_EQ(login.location,
              "Driver=FreeTDS;Server=dbhost\\SQLEXPRESS;TDS_Version=7.4;Database=Pelorix;UID=sa;"
              "PWD={p;w}");

    EXPECT_EQ(mapWithDefaultDriver("Provider=SQLNCLI11;Server=tcp:db.example, 1450;"
                                   "Database=P;Integrated Security=SSPI;User Id=ignored")
                  .location,
              "Driver=FreeTDS;Server=db.example;Port=1450;TDS_Version=7.4;Database=P;Trusted_"
              "Connection=Yes");
    EXPECT_EQ(mapWithDefaultDriver("Provider=MSOLEDBSQL19;Data Source=(local);UID=u").location,
              "Driver=FreeTDS;Server=localhost;TDS_Version=7.4;UID=u");
    EXPECT_EQ(mapWithDefaultDriver("Provider=SQLOLEDB;Data Source=.\\PX").location,
              "Driver=FreeTDS;Server=localhost\\PX;TDS_Version=7.4");
}

// Microsoft's drivers (Windows' own "SQL Server" among them) read the server as ADO names it and
// know no port or protocol keyword.
TEST(ConnectionStringMap, MicrosoftDriversGetTheServerAsTheStringNamesIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Provider=SQLOLEDB;Data Source=h", "Driver=SQL Server;Server=h"},
        {"Provider=SQLNCLI11;Server=tcp:db.example,1450;Database=P;Integrated Security=SSPI",
         "Driver=SQL Server;Server=db.example,1450;Database=P;Trusted_Connection=Yes"},
        {"Provider=MSOLEDBSQL;Data Source=(local)\\PX;User Id=sa;Password=x",
         "Driver=SQL Server;Server=(local)\\PX;UID=sa;PWD=x"},
    };
    for (const auto& [ado, odbc] : cases) {
        EXPECT_EQ(mapConnectionString(ado, "SQL Server").location, odbc) << ado;
    }
    EXPECT_EQ(
        mapConnectionString("Provider=SQLOLEDB;Data Source=h", "ODBC Driver 18 for SQL Server")
            .location,
        "Driver=ODBC Driver 18 for SQL Server;Server=h");
    EXPECT_EQ(mapConnectionString("Provider=SQLOLEDB;Data Source=h,99", "/usr/lib/libtdsodbc.so")
                  .location,
              "Driver=/usr/lib/libtdsodbc.so;Server=h;Port=99;TDS_Version=7.4");
}

TEST(ConnectionStringMap, AdoOdbcProviderKeepsTheOtherPairs) {
    const DatabaseTarget target =
        mapWithDefaultDriver("Provider=MSDASQL.1;Driver={SQLite3};Database=/tmp/x y.db");
    EXPECT_EQ(target.kind, DatabaseKind::Odbc);
    EXPECT_EQ(target.location, "Driver=SQLite3;Database=/tmp/x y.db");
}

TEST(ConnectionStringMap, UnknownProvidersAndEmptyStringsAreFailuresWithADescription) {
    for (const QString text : {"Provider=Foo.Bar;Data Source=x", "", "Data Source=/tmp/x.mdb"}) {
        const DatabaseTarget target = mapWithDefaultDriver(text);
        EXPECT_EQ(target.kind, DatabaseKind::Unsupported) << text.toStdString();
        EXPECT_FALSE(target.error.isEmpty());
    }
}

TEST(QodbcDatabaseName, GivesQodbcANameThatItTurnsBackIntoTheString) {
    EXPECT_EQ(qodbcDatabaseName("Driver=SQLite3;Database=/tmp/a.db"),
              "Driver=SQLite3;Database=/tmp/a.db");
    EXPECT_EQ(qodbcDatabaseName("DSN=Pelorix;UID=sa"), "Pelorix;UID=sa");
    EXPECT_EQ(qodbcDatabaseName("uid = sa; dsn = Pelorix"), "Pelorix;uid=sa");
    EXPECT_EQ(qodbcDatabaseName("UID=sa;FileDSN=/etc/p.dsn"), "/etc/p.dsn;UID=sa");
}

}  // namespace
}  // namespace pelorix::platform
