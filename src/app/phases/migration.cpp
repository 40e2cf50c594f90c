#include "app/phases/migration.h"

#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/waiter.h"
#include "schema/schema_operations.h"

#include <QStringList>

#include <array>
#include <utility>

namespace pelorix::app {

namespace {

const std::array<std::pair<qint16, const char*>, 15> kPrinterTypes = {{
    {9, "Axis Printbox (SW)"},
    {10, "Lexmark Drucker (SW)"},
    {11, "Lexmark Drucker (Color)"},
    {12, "Kyocera Mita (SW)"},
    {13, "Kyocera Mita (Color)"},
    {14, "Konica Minolta (SW)"},
    {15, "Konica Minolta (Color)"},
    {16, "KRT2"},
    {17, "Nur Color"},
    {18, "Samsung (SW)"},
    {19, "Samsung (Color)"},
    {20, "Ricoh (SW)"},
    {21, "Ricoh (Color)"},
    {22, "Sharp (Color)"},
    {23, "Kyocera Mita (Spezial)"},
}};

const std::array<std::pair<const char*, const char*>, 9> kSqlServerAlterations = {{
    {"tblPrinters", "ALTER COLUMN WarningTime string (50)"},
    {"tblPrinters", "ALTER COLUMN OperatorErrorTime string (50)"},
    {"tblPrinters", "ALTER COLUMN ServiceErrorTime string (50)"},
    {"tblPrinters", "ALTER COLUMN LastRUITonerRead string (50)"},
    {"tblPrinters", "ALTER COLUMN SFValue string (50)"},
    {"tblPrinters", "ALTER COLUMN FingerPrint string (50)"},
    {"tblPrinters", "ALTER COLUMN SNMPName string (255)"},
    {"tblData", "ALTER COLUMN FingerPrint string (50)"},
    {"tblData", "ALTER COLUMN RawRead string (255)"},
}};

}  // namespace

MigrationTotals runMigrationScript(UpdateContext& ctx, schema::SchemaOperations& operations) {
    MigrationTotals totals;
    if (operations.AddColumn("tblPrinters", "YTonerOrder", "string (50)")) {
        ++totals.nc;
    }
    if (ctx.form.isSqlServer) {
        ctx.log("SQL alter columns ...");
        for (const auto& [table, clause] : kSqlServerAlterations) {
            operations.AlterTable(table, clause);
        }
    }
    if (operations.CheckDBVersionSmaller("6.2.0")) {
        ctx.log("Updating column TonerLimit ..");
        operations.UpdateTable("tblPrinters", "SET TonerLimit = -1 WHERE TonerLimit = 0");
    }
    for (const auto& [id, name] : kPrinterTypes) {
        if (operations.AddPrinterType(id, name)) {
            ++totals.nd;
        }
    }
    ctx.log("starting creation of new tables ...");
    if (operations.AddTable(
            "tblTonerFlow",
            "FlowID counter, PrinterID integer default 0, [TimeStamp] date, TonerLevel integer")) {
        ++totals.nt;
    }
    operations.CreateIndex("tblDepartment", "DepartmentID", true);
    return totals;
}

namespace {

RunOutcome databaseErrorExit(UpdateContext& ctx) {
    ctx.log("Database error.");
    QString text = ctx.trLines({"Der Updater konnte nicht auf die Datenbank zugreifen.",
                                "Bitte prüfen Sie ob die Datenbank bereits durch andere "
                                "Programme geöffnet ist",
                                "und versuchen es dann erneut. Der Vorgang wird abgebrochen."},
                               "\r");
    if (ctx.form.isSqlServer) {
        text += "\r\n\r\n" + ctx.tr(
                                 "Bitte prüfen Sie auch, dass Sie administrativen Zugriff auf "
                                 "die SQL-Datenbank besitzen.");
    }
    ctx.message(text);
    ctx.ui.setMousePointer(MousePointer::Default);
    return RunOutcome::DatabaseError;
}

}  // namespace

RunOutcome runMigration(UpdateContext& ctx) {
    ctx.log("Checking database ...");
    ctx.status.openStep(ctx.tr("Überprüfe Datenbank ..."));
    ctx.services.database.beginRun(ctx.limits.database);
    schema::SchemaOperations operations(
        {ctx.form.connectionString, ctx.form.isSqlServer, ctx.form.updateLog},
        ctx.services.database, [&ctx](const QString& entry) { ctx.log(entry); });
    const MigrationTotals totals = runMigrationScript(ctx, operations);
    ctx.record.database = {ctx.form.isSqlServer, totals.nc, totals.nd, totals.nt, {}};
    ctx.record.databaseChanged = operations.changesMade() > 0;
    if (operations.failed()) {
        return databaseErrorExit(ctx);
    }
    ctx.status.closeStep("OK");
    ctx.status.showLine(ctx.tr("Neue Tabellenspalten") + ": " + QString::number(totals.nc));
    ctx.status.showLine(ctx.tr("Neue Gerätetypen") + ": " + QString::number(totals.nd));
    ctx.status.showLine(ctx.tr("Komplett neue Tabellen") + ": " + QString::number(totals.nt));
    if (ctx.form.updateDatabaseOnlyCheck == 1) {
        ctx.waiter.WaitSeconds(1);
        ctx.status.showLine(ctx.tr("Datenbankupdate erfolgreich ausgeführt."));
        return RunOutcome::SkipToCompletion;
    }
    ctx.log(QString("Finished database checks. NT: %1, ND: %2, NC: %3")
                .arg(totals.nt)
                .arg(totals.nd)
                .arg(totals.nc));
    return RunOutcome::Continue;
}

}  // namespace pelorix::app
