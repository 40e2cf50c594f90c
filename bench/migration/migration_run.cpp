#include "migration_run.h"

#include "app/phases/migration.h"
#include "app/run/debug_log.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/user_interface.h"
#include "app/run/waiter.h"
#include "i18n/language.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "platform/process_table.h"
#include "platform/program_start.h"
#include "xmlstore/xml_store.h"

namespace pelorix::bench {

namespace {

// Shows nothing and answers every message box with its first button.
class QuietUi : public app::UserInterface {
  public:
    app::MessageAnswer showMessage(const QString&, app::MessageButtons buttons) override {
        return buttons == app::MessageButtons::YesNo ? app::MessageAnswer::Yes
                                                     : app::MessageAnswer::Ok;
    }
    void statusTextChanged(const QString&) override {}
    void progressChanged(int, int) override {}
    void setMousePointer(app::MousePointer) override {}
    void processEvents() override {}
    void repaint() override {}
    void quit() override {}
};

}  // namespace

app::RunOutcome runMigrationOn(const QString& databaseFile, const QString& scratchFolder,
                               platform::Database& database) {
    platform::FileSystem& files = platform::defaultFileSystem();
    platform::Clock& clock = platform::systemClock();
    app::FormModel form;
    form.connectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + databaseFile +
                            ";User Id=admin;Password=;";
    form.progressMaximum = 71;
    app::ProgramSettings settings;
    settings.appPath = scratchFolder;
    QuietUi ui;
    app::DebugLog debugLog(scratchFolder + "/PelorixUpdater_DebugLog.txt", files);
    app::StatusOutput status(form, ui, debugLog);
    app::Waiter waiter(clock, ui);
    i18n::Language language(files, settings.languageFile(), "DE", "EN", nullptr, clock);
    xmlstore::XmlStore xml(files);
    app::UpdateContext context{
        form,
        settings,
        ui,
        status,
        debugLog,
        waiter,
        language,
        xml,
        {files, platform::defaultProgramStarter(), platform::defaultProcessTable(), clock, database,
         platform::defaultHttpClient()},
        QString(),
        scratchFolder,
        QString()};  // the migration reads no control document
    return app::runMigration(context);
}

}  // namespace pelorix::bench
