#include "support/database_fixture.h"

#include "platform/file_system.h"

#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace pelorix::test {

QString jetConnection(const QString& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";User Id=admin;Password=;";
}

QString sqliteOdbcConnection(const QString& file) {
    return "Driver=SQLite3;Database=" + odbcDriverFileName(file);
}

QString createDatabaseFile(const TempDir& dir, const QString& name) {
    const QString file = dir.write(name, QByteArray());
    QFile::remove(file);  // the folders stay
    EXPECT_TRUE(platform::createEmbeddedDatabaseFile(file)) << file.toStdString();
    return file;
}

void runStatements(const QString& connection, const QStringList& statements) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    for (const QString& statement : statements) {
        const platform::DbResult result = database.execute(connection, statement);
        ASSERT_TRUE(result.ok) << statement.toStdString() << ": " << result.error.toStdString();
    }
}

void createPelorixTables(const QString& connection, const QString& version, bool withTypes) {
    QStringList statements{
        "CREATE TABLE tblPrinters (PrinterID counter, PrinterName string (100), "
        "WarningTime string (20), OperatorErrorTime string (20), ServiceErrorTime string (20), "
        "LastRUITonerRead string (20), SFValue string (20), FingerPrint string (20), "
        "SNMPName string (100), TonerLimit integer)",
        "CREATE TABLE tblData (DataID counter, PrinterID integer, FingerPrint string (20), "
        "RawRead string (100))",
        "CREATE TABLE tblTypes ([Type] integer, TypeText string (100))",
        "CREATE TABLE tblConfig ([Field] string (50), [Value] string (255))",
        "CREATE TABLE tblDepartment (DepartmentID integer, DepartmentName string (100))",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 1', 0)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 2', 15)",
        "INSERT INTO tblPrinters (PrinterName, TonerLimit) VALUES ('Floor 3', 0)",
        "INSERT INTO tblConfig ([Field], [Value]) VALUES ('Version', '" + version + "')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (1, 'Sales')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (2, 'Office')",
    };
    for (int type = 1; withTypes && type <= 8; ++type) {
        statements
            << QString("INSERT INTO tblTypes ([Type], TypeText) VALUES (%1, 'Type %1')").arg(type);
    }
    runStatements(connection, statements);
}

std::vector<QVariantList> readRows(const QString& connection, const QString& select) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    const platform::QueryResult result = database.query(connection, select);
    EXPECT_TRUE(result.ok) << select.toStdString() << ": " << result.error.toStdString();
    return result.rows;
}

QVariant readValue(const QString& connection, const QString& select) {
    const std::vector<QVariantList> rows = readRows(connection, select);
    return rows.empty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

QStringList columnsOf(const QString& connection, const QString& table) {
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    return database.query(connection, "Select * from " + table).columns;
}

}  // namespace pelorix::test
