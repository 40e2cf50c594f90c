#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::sampledb {

struct SampleOptions {
    QString version = QStringLiteral("6.1.0");
    bool withTypes = true;  // tblTypes holds the types 1 to 8, or no row at all
};

// The tables the updater relies on, in Jet SQL as the updater writes its own statements.
QStringList schemaStatements();
// A few printers (some with TonerLimit 0), readings, device types, the version and departments.
QStringList rowStatements(const SampleOptions& options);

// Creates the database file, which must not exist yet, through the program's own database
// layer (so the Jet types behave as in the program); a failure removes the file again.
bool createSampleDatabase(const QString& file, const SampleOptions& options, QString& error);

// The same database as a T-SQL script for SQL Server.
QString tsqlScript(const SampleOptions& options);

}  // namespace pelorix::sampledb
