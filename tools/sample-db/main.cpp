// pelorix-sample-db: a Pelorix database for tests, the demo and trials of the updater.
//
//   pelorix-sample-db [--version <text>] [--empty-types] [--force] <database-file>
//       Creates the database file as the embedded (Jet role) database the updater opens with
//       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<database-file>": tblPrinters (four
//       printers, two with TonerLimit 0, no YTonerOrder column), tblData, tblTypes (types 1 to
//       8), tblConfig (Field/Value with 'Version' = the version, default 6.1.0) and
//       tblDepartment (DepartmentID 1 to 3), columns declared with Jet types. --empty-types
//       leaves tblTypes without rows. An existing file is kept unless --force replaces it.
//   pelorix-sample-db --tsql [--version <text>] [--empty-types]
//       Prints the same database as a T-SQL script for SQL Server on standard output.
//
// Exit status: 0 done; 1 bad command line; 2 the file exists (without --force); 3 the
// database could not be created.

#include "sample_schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

using pelorix::sampledb::SampleOptions;

enum ExitStatus { kDone = 0, kBadCommandLine = 1, kFileExists = 2, kCreateFailed = 3 };

struct Request {
    SampleOptions options;
    bool tsql = false;
    bool force = false;
    QString file;
};

void printError(const QString& text) {
    std::fputs(("pelorix-sample-db: " + text + "\n").toLocal8Bit().constData(), stderr);
}

int usage() {
    printError(
        "usage: pelorix-sample-db [--version <text>] [--empty-types] [--force] <database-file>\n"
        "       pelorix-sample-db --tsql [--version <text>] [--empty-types]");
    return kBadCommandLine;
}

bool parse(const QStringList& arguments, Request& request) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--version" && i + 1 < arguments.size()) {
            request.options.version = arguments[++i];
        } else if (argument == "--empty-types") {
            request.options.withTypes = false;
        } else if (argument == "--tsql") {
            request.tsql = true;
        } else if (argument == "--force") {
            request.force = true;
        } else if (!argument.startsWith("--") && request.file.isEmpty()) {
            request.file = argument;
        } else {
            return false;
        }
    }
    return request.tsql ? request.file.isEmpty() && !request.force : !request.file.isEmpty();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Request request;
    if (!parse(app.arguments(), request)) {
        return usage();
    }
    if (request.tsql) {
        std::fputs(pelorix::sampledb::tsqlScript(request.options).toUtf8().constData(), stdout);
        return kDone;
    }
    if (QFile::exists(request.file)) {
        if (!request.force) {
            printError("'" + request.file + "' exists already; --force replaces it.");
            return kFileExists;
        }
        if (!QFile::remove(request.file)) {
            printError("cannot remove '" + request.file + "'.");
            return kCreateFailed;
        }
    }
    QString error;
    if (!pelorix::sampledb::createSampleDatabase(request.file, request.options, error)) {
        printError(error);
        return kCreateFailed;
    }
    return kDone;
}
