// bench_update_statements DATABASE-FILE SCRATCH-FOLDER
//
// Runs the program's migration script on the database file (a fresh sample database) and
// prints the statements SQLite received for it, each ending in ";", for the sqlite3 shell.

#include "migration_run.h"
#include "platform/database/database_qtsql.h"
#include "platform/file_system.h"
#include "recording_database.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: bench_update_statements DATABASE-FILE SCRATCH-FOLDER\n", stderr);
        return 2;
    }
    pelorix::platform::QtSqlDatabase database(pelorix::platform::defaultFileSystem());
    pelorix::bench::RecordingDatabase recording(database);
    const auto outcome = pelorix::bench::runMigrationOn(QString::fromLocal8Bit(argv[1]),
                                                        QString::fromLocal8Bit(argv[2]), recording);
    if (outcome != pelorix::app::RunOutcome::Continue) {
        std::fputs("bench_update_statements: the migration did not run through\n", stderr);
        return 1;
    }
    for (const QString& statement : recording.sqliteStatements()) {
        std::printf("%s;\n", statement.toUtf8().constData());
    }
    return 0;
}
