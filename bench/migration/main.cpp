// bench_migration [--rounds <n>] [--folder <path>]
//
// Times the program's migration script (runMigration, through the program's database layer,
// which opens a connection per statement as the design asks) on a fresh sample database at
// version 6.1.0, and the sqlite3 shell running the very same statements on another fresh copy
// in one process, round after round in the same run. Prints the medians and their ratio.
// The databases live in a scratch folder inside <path> (default: the system's temp folder);
// a folder in memory such as /dev/shm takes the disk's syncing out of the comparison.

#include "migration_run.h"
#include "platform/database/database_qtsql.h"
#include "platform/file_system.h"
#include "recording_database.h"
#include "sample_schema.h"
#include "sqlite_shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

struct Samples {
    std::vector<double> program;
    std::vector<double> shell;
    std::vector<double> shellStart;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QString freshDatabase(const QTemporaryDir& dir, const QString& name) {
    const QString file = dir.filePath(name);
    QString error;
    if (!pelorix::sampledb::createSampleDatabase(file, {}, error)) {
        std::fprintf(stderr, "bench_migration: %s\n", qPrintable(error));
        std::exit(2);
    }
    return file;
}

// What the migration changes, read back the same way from either database.
QStringList migratedState(const QString& file) {
    pelorix::platform::QtSqlDatabase database(pelorix::platform::defaultFileSystem());
    const QString connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file;
    QStringList state;
    for (const char* probe :
         {"SELECT count(*) FROM tblTypes", "SELECT group_concat(TonerLimit) FROM tblPrinters",
          "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = 'DepartmentID'"}) {
        const auto result = database.query(connection, probe);
        state << (result.ok && !result.rows.empty() ? result.rows[0].value(0).toString()
                                                    : result.error);
    }
    state << database.query(connection, "Select * from tblPrinters").columns.join(",")
          << database.query(connection, "Select * from tblTonerFlow").columns.join(",");
    return state;
}

// One round; false when a part of it could not be run.
bool runRound(const QTemporaryDir& dir, int round, pelorix::bench::RecordingDatabase& recording,
              Samples& samples) {
    const QString programFile = freshDatabase(dir, QString("program-%1.mdb").arg(round));
    const QString shellFile = freshDatabase(dir, QString("shell-%1.mdb").arg(round));
    recording.clear();
    const auto start = std::chrono::steady_clock::now();
    const auto outcome = pelorix::bench::runMigrationOn(programFile, dir.path(), recording);
    const auto programTime = std::chrono::steady_clock::now() - start;
    if (outcome != pelorix::app::RunOutcome::Continue) {
        std::fprintf(stderr, "bench_migration: the migration did not run through\n");
        return false;
    }
    const auto shellTime = pelorix::bench::timeSqliteShell(shellFile, recording.sqliteStatements());
    const auto shellStart = pelorix::bench::timeSqliteShell(shellFile, {});
    if (!shellTime || !shellStart) {
        std::fprintf(stderr, "bench_migration: the sqlite3 shell could not be run\n");
        return false;
    }
    if (migratedState(programFile) != migratedState(shellFile)) {
        std::fprintf(stderr, "bench_migration: the shell's database differs from the program's\n");
        return false;
    }
    samples.program.push_back(Milliseconds(programTime).count());
    samples.shell.push_back(Milliseconds(*shellTime).count());
    samples.shellStart.push_back(Milliseconds(*shellStart).count());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rounds = 15;
    QString folder = QDir::tempPath();
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (arguments[i] == "--rounds" && value.toInt() > 0) {
            rounds = value.toInt();
        } else if (arguments[i] == "--folder" && !value.isEmpty()) {
            folder = value;
        } else {
            std::fprintf(stderr, "usage: bench_migration [--rounds <n>] [--folder <path>]\n");
            return 1;
        }
    }
    QTemporaryDir dir(folder + "/bench-migration-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_migration: cannot create a folder in %s\n", qPrintable(folder));
        return 2;
    }
    pelorix::platform::QtSqlDatabase database(pelorix::platform::defaultFileSystem());
    pelorix::bench::RecordingDatabase recording(database);
    Samples warmUp;
    Samples samples;
    if (!runRound(dir, 0, recording, warmUp)) {
        return 2;
    }
    for (int round = 1; round <= rounds; ++round) {
        if (!runRound(dir, round, recording, samples)) {
            return 2;
        }
    }
    const double program = median(samples.program);
    const double shell = median(samples.shell);
    std::printf("Migration script on a fresh sample database (6.1.0) in %s, %d rounds, medians:\n",
                qPrintable(folder), rounds);
    std::printf("  statements per run:                  %lld\n",
                static_cast<long long>(recording.sqliteStatements().size()));
    std::printf("  program (runMigration):              %8.2f ms\n", program);
    std::printf("  sqlite3 shell, same statements:      %8.2f ms\n", shell);
    std::printf("    of which starting the shell:       %8.2f ms\n", median(samples.shellStart));
    std::printf("  ratio program / sqlite3 shell:       %8.2f\n", shell > 0 ? program / shell : 0);
    return 0;
}
