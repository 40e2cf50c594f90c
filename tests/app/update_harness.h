#pragma once

#include "app/fake_ui.h"
#include "app/program/installation.h"
#include "app/run/debug_log.h"
#include "app/run/form_model.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/waiter.h"
#include "i18n/language.h"
#include "platform/database/database_qtsql.h"
#include "support/fake_clock.h"
#include "support/fake_processes.h"
#include "support/temp_dir.h"
#include "xmlstore/xml_store.h"

#include <memory>
#include <optional>

namespace pelorix::platform {
class FileSystem;
class HttpClient;
}  // namespace pelorix::platform

namespace pelorix::test {

// A whole update context over a scratch installation: program folder "app", system folder
// "system", common application data "appdata" (the control document's folder), settings folder
// "appdata/Pelorix". Real files,
// database and HTTP by default; clock, front end, process table and program starts are fakes.
// Change the public members first, then call context().
class UpdateHarness {
  public:
    UpdateHarness();

    app::UpdateContext& context();
    // The debug log's text (Windows-1252 decoded).
    QString debugLogText() const;

    TempDir dir;
    FakeUi ui;
    FakeClock clock;
    RecordingProgramStarter programs;
    FakeProcessTable processes;
    platform::FileSystem* files;
    platform::Database* database;
    platform::HttpClient* http;
    app::FormModel form;
    app::ProgramSettings settings;
    // As start-up finds it; the context takes the control document from it.
    app::Installation installation;
    QString updateServerBase = "http://127.0.0.1:9/Updater";
    QString ownFolder;
    QString debugLogPath;
    i18n::LearningDialog* learningDialog = nullptr;  // learn mode asks no one without it

  private:
    platform::QtSqlDatabase realDatabase_;
    std::optional<app::DebugLog> debugLog_;
    std::optional<app::StatusOutput> status_;
    std::optional<app::Waiter> waiter_;
    std::optional<i18n::Language> language_;
    std::optional<xmlstore::XmlStore> xml_;
    std::unique_ptr<app::UpdateContext> context_;
};

}  // namespace pelorix::test
