#include "app/dry_run/dry_run.h"

#include "app/phases/listing_database.h"
#include "app/phases/migration.h"
#include "app/phases/service_control.h"
#include "app/run/installation_lock.h"
#include "app/run/update_context.h"
#include "files/kill_process.h"
#include "platform/database/connection_string.h"
#include "platform/file_system.h"
#include "platform/operating_system_folders.h"
#include "schema/convert_sql.h"
#include "schema/schema_operations.h"
#include "xmlstore/xml_store.h"

#include <QFileInfo>

namespace pelorix::app {

namespace {

constexpr int kGeneralFailure = 1;
constexpr int kMainProgramRunning = 3;
constexpr int kDatabaseError = 6;
constexpr int kAnotherUpdateRunning = 9;
constexpr qsizetype kSubjectWidth = 28;

// A file that a run rewrites by deleting and creating it needs a writable folder as well.
bool isRewritable(const QString& path) {
    const QFileInfo file(path);
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

}  // namespace

DryRun::DryRun(UpdateContext& ctx, PlanPrinter print)
    : ctx_(ctx), print_(std::move(print)), lineStarted_(std::chrono::steady_clock::now()) {}

int DryRun::run() {
    ctx_.record.dryRun = true;
    // Tracing would write the debug log.
    ctx_.form.updateLog = false;
    print_("Dry run: nothing on this machine is changed.");
    checkProgramFolder();
    checkMainProgram();
    checkInstallationLock();
    const bool full = ctx_.form.updateDatabaseOnlyCheck != 1;
    if (full) {
        checkRelease();
    }
    checkControlDocument();
    checkDatabase();
    if (full) {
        checkFiles();
        checkFolders();
        checkFreeSpace();
        checkRegistrar();
    }
    print_(
        QStringLiteral("Expected exit status: %1 (%2)").arg(status_).arg(statusMeaning(status_)));
    return status_;
}

void DryRun::check(const QString& subject, bool ok, const QString& detail, int failureStatus) {
    if (!ok && status_ == 0) {
        status_ = failureStatus;
    }
    print(subject, ok ? "OK" : "FAILED", detail, QString(ok ? "OK" : "FAILED"));
}

void DryRun::note(const QString& subject, const QString& detail) {
    print(subject, "", detail, std::nullopt);
}

void DryRun::print(const QString& subject, const QString& verdict, const QString& detail,
                   std::optional<QString> result) {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - lineStarted_).count();
    lineStarted_ = now;
    lines_.push_back({subject + ": " + detail, std::move(result), seconds});
    print_(QString("%1 %2 %3")
               .arg(subject.leftJustified(kSubjectWidth, '.'), verdict.leftJustified(6), detail)
               .trimmed());
}

void DryRun::checkProgramFolder() {
    const QString& appPath = ctx_.settings.appPath;
    const bool refused = platform::isOperatingSystemFolder(appPath);
    check("Program folder", !refused,
          appPath + (refused ? " is a folder of the system (set AppPath)" : ""), kGeneralFailure);
}

void DryRun::checkMainProgram() {
    const bool running = files::IsProcessRunning("Pelorix.exe", false, ctx_.services.processes);
    check("Main program", !running,
          running ? "Pelorix.exe is running" : "Pelorix.exe is not running", kMainProgramRunning);
}

// No lock file is made or removed: the dry run leaves the folders as they are.
void DryRun::checkInstallationLock() {
    const bool free = InstallationLock(ctx_.settings.appPath, ctx_.form.systemFolder).isFree();
    check("Installation lock", free,
          free ? "no other update of this installation runs"
               : "another update of this installation is running",
          kAnotherUpdateRunning);
}

void DryRun::checkControlDocument() {
    const QString document = ctx_.controlDocument;
    const QString onDisk = ctx_.services.files.resolve(document);
    if (!ctx_.services.files.normalFileExists(document)) {
        check("Control document", false, document + " is missing", kGeneralFailure);
        return;
    }
    if (!ctx_.xml.XMLLoadFile(document)) {
        check("Control document", false, document + " does not parse", kGeneralFailure);
        return;
    }
    const bool writable = isRewritable(onDisk);
    check("Control document", writable,
          document + (writable ? " can be rewritten" : " cannot be rewritten"), kGeneralFailure);
    // The real run leaves the services stopped, or running again when asked to start them.
    const QString finalTarget = ctx_.startServices ? kServiceRunning : kServiceStopped;
    for (const SupervisedService* service : {&kPelorixServiceEntry, &kHavrelServiceEntry}) {
        const QString current = ctx_.xml.XMLGetValue(service->currentPath, "(none)");
        const QString target = ctx_.xml.XMLGetValue(service->targetPath, "(none)");
        note(QString("Service ") + service->name,
             "current status " + current + ", target status " + target);
        ctx_.record.wouldChange = ctx_.record.wouldChange || target != finalTarget;
    }
}

void DryRun::checkDatabase() {
    const std::optional<QString> file = platform::embeddedDatabaseFile(ctx_.form.connectionString);
    const QString kind = ctx_.form.isSqlServer ? "SQL Server" : "Access (Jet)";
    note("Database", file ? kind + ", file " + *file : kind);
    if (!checkDatabaseReachable()) {
        return;
    }
    if (file) {
        checkDatabaseWritable(*file);
    }
    listMigration();
}

// Reading works while another program holds the database for writing; the migration would not.
// A write transaction is begun and never used: it ends with the connection, nothing written.
void DryRun::checkDatabaseWritable(const QString& file) {
    if (!isRewritable(file)) {
        check("Database write access", false, file + " cannot be written", kDatabaseError);
        return;
    }
    const platform::DbResult writeLock =
        ctx_.services.database.execute(ctx_.form.connectionString, "BEGIN IMMEDIATE");
    check("Database write access", writeLock.ok,
          writeLock.ok ? file : file + ": " + writeLock.error, kDatabaseError);
}

bool DryRun::checkDatabaseReachable() {
    platform::Database& database = ctx_.services.database;
    database.beginRun(ctx_.limits.database);  // the time limits of a real run
    const QString& connection = ctx_.form.connectionString;
    const platform::QueryResult probe = database.columns(
        connection, schema::ConvertSQL("Select * from tblPrinters", ctx_.form.isSqlServer));
    if (!probe.ok) {
        check("Database reachable", false, probe.error, kDatabaseError);
        return false;
    }
    const platform::QueryResult config =
        database.query(connection, "SELECT * from tblConfig WHERE Field = 'Version'");
    QString version = "unknown";
    if (config.ok && !config.rows.empty() && config.rows.front().size() > 1) {
        version = config.rows.front().at(1).toString();
    }
    check("Database reachable", true, "version " + version, kDatabaseError);
    return true;
}

void DryRun::listMigration() {
    ListingDatabase database(ctx_.services.database);
    schema::SchemaOperations operations({ctx_.form.connectionString, ctx_.form.isSqlServer, false},
                                        database, {});
    const MigrationTotals totals = runMigrationScript(ctx_, operations);
    for (const QString& statement : database.statements()) {
        note("Statement", statement);
    }
    ctx_.record.database = {ctx_.form.isSqlServer, totals.nc, totals.nd, totals.nt,
                            database.statements()};
    ctx_.record.wouldChange = ctx_.record.wouldChange || totals.nc + totals.nd + totals.nt > 0;
    check("Migration", !operations.failed(),
          QStringLiteral("would add %1 columns, %2 device types, %3 tables")
              .arg(totals.nc)
              .arg(totals.nd)
              .arg(totals.nt),
          kDatabaseError);
}

}  // namespace pelorix::app
