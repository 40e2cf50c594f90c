#include "sample_schema.h"

#include "platform/database/database_qtsql.h"
#include "platform/file_system.h"
#include "schema/convert_sql.h"

#include <QFile>
#include <QFileInfo>

namespace pelorix::sampledb {

namespace {

QString quoted(const QString& text) {
    return u'\'' + QString(text).replace(QStringLiteral("'"), QStringLiteral("''")) + u'\'';
}

QString printer(const char* name, const char* address, int type, const char* place,
                int tonerLimit) {
    return QString(
               "INSERT INTO tblPrinters (PrinterName, IPAddress, [Type], Location, "
               "WarningTime, SNMPName, TonerLimit) VALUES ('%1', '%2', %3, '%4', '08:00', "
               "'%1', %5)")
        .arg(QString::fromLatin1(name), QString::fromLatin1(address))
        .arg(type)
        .arg(QString::fromLatin1(place))
        .arg(tonerLimit);
}

const char* const kTypeNames[] = {"HP LaserJet (SW)", "HP Color LaserJet (Color)",
                                  "Brother (SW)",     "Canon (Color)",
                                  "Epson (SW)",       "Xerox (SW)",
                                  "Xerox (Color)",    "OKI (Color)"};

}  // namespace

QStringList schemaStatements() {
    return {
        "CREATE TABLE tblPrinters (PrinterID counter, PrinterName string (100), IPAddress string "
        "(50), [Type] integer, Location string (100), WarningTime string (20), OperatorErrorTime "
        "string (20), ServiceErrorTime string (20), LastRUITonerRead string (20), SFValue string "
        "(20), FingerPrint string (20), SNMPName string (100), TonerLimit integer);",
        "CREATE TABLE tblData (DataID counter, PrinterID integer, [TimeStamp] date, FingerPrint "
        "string (20), RawRead string (100));",
        "CREATE TABLE tblTypes ([Type] integer, TypeText string (100));",
        "CREATE TABLE tblConfig ([Field] string (50), [Value] string (255));",
        "CREATE TABLE tblDepartment (DepartmentID integer, DepartmentName string (100));",
    };
}

QStringList rowStatements(const SampleOptions& options) {
    QStringList rows{
        printer("Empfang", "192.168.10.21", 1, "Erdgeschoss", 0),
        printer("Buchhaltung", "192.168.10.22", 3, "1. OG", 15),
        printer("Vertrieb Farbe", "192.168.10.23", 2, "1. OG", 0),
        printer("Lager", "192.168.10.24", 6, "Halle", 10),
        "INSERT INTO tblData (PrinterID, [TimeStamp], FingerPrint, RawRead) VALUES "
        "(1, '2024-05-02T08:00:00', 'FP-1001', 'black=80')",
        "INSERT INTO tblData (PrinterID, [TimeStamp], FingerPrint, RawRead) VALUES "
        "(3, '2024-05-02T08:05:00', 'FP-1003', 'black=40;cyan=75')",
        "INSERT INTO tblConfig ([Field], [Value]) VALUES ('Version', " + quoted(options.version) +
            ")",
        "INSERT INTO tblConfig ([Field], [Value]) VALUES ('Company', 'Muster GmbH')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (1, 'Verwaltung')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (2, 'Vertrieb')",
        "INSERT INTO tblDepartment (DepartmentID, DepartmentName) VALUES (3, 'Lager')",
    };
    for (int type = 1; options.withTypes && type <= 8; ++type) {
        rows << QString("INSERT INTO tblTypes ([Type], TypeText) VALUES (%1, %2)")
                    .arg(type)
                    .arg(quoted(QString::fromLatin1(kTypeNames[type - 1])));
    }
    return rows;
}

bool createSampleDatabase(const QString& file, const SampleOptions& options, QString& error) {
    if (QFileInfo::exists(file)) {
        error = "'" + file + "' exists already.";
        return false;
    }
    if (!platform::createEmbeddedDatabaseFile(file)) {
        error = "Cannot create '" + file + "'.";
        return false;
    }
    const QString connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";";
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    for (const QString& statement : schemaStatements() + rowStatements(options)) {
        const platform::DbResult result = database.execute(connection, statement);
        if (!result.ok) {
            error = statement + ": " + result.error;
            QFile::remove(file);
            return false;
        }
    }
    return true;
}

QString tsqlScript(const SampleOptions& options) {
    QString script = "-- Pelorix sample database at version " + options.version +
                     ", for SQL Server.\n-- Run it in an empty database, e.g. with sqlcmd -d "
                     "Pelorix -i <this file>.\n";
    for (const QString& statement : schemaStatements()) {
        script += schema::ConvertSQL(statement, true) + "\n";
    }
    for (const QString& statement : rowStatements(options)) {
        script += statement + ";\n";
    }
    return script + "GO\n";
}

}  // namespace pelorix::sampledb
