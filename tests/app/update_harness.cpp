#include "app/update_harness.h"

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "platform/text_codec.h"

namespace pelorix::test {

UpdateHarness::UpdateHarness()
    : files(&platform::defaultFileSystem()),
      database(&realDatabase_),
      http(&platform::defaultHttpClient()),
      realDatabase_(platform::defaultFileSystem()) {
    settings.appPath = dir.mkdir("app");
    settings.settingsFolder = dir.mkdir("appdata/Pelorix");
    settings.settingsFile = settings.settingsFolder + "/Pelorix.ini";
    settings.languageSetting = "DE";
    settings.learningLanguage = "EN";
    form.systemFolder = dir.mkdir("system");
    form.dataBasePath = settings.settingsFolder;
    form.versionCaption = "v 6.15.1";
    ownFolder = dir.mkdir("updater");
    debugLogPath = ownFolder + "/PelorixUpdater_DebugLog.txt";
    installation = app::installationFrom(
        platform::Environment({{"PELORIX_COMMON_APPDATA", dir.file("appdata")}}), "");
}

app::UpdateContext& UpdateHarness::context() {
    if (!context_) {
        debugLog_.emplace(debugLogPath, *files);
        status_.emplace(form, ui, *debugLog_);
        waiter_.emplace(clock, ui);
        language_.emplace(*files, settings.languageFile(), settings.languageSetting,
                          settings.learningLanguage, learningDialog, clock);
        xml_.emplace(*files);
        context_ = std::make_unique<app::UpdateContext>(app::UpdateContext{
            form, settings, ui, *status_, *debugLog_, *waiter_, *language_, *xml_,
            app::UpdateServices{*files, programs, processes, clock, *database, *http},
            updateServerBase, ownFolder, installation.controlDocument});
    }
    return *context_;
}

QString UpdateHarness::debugLogText() const {
    return platform::decodeAnsi(dir.read("updater/PelorixUpdater_DebugLog.txt"));
}

}  // namespace pelorix::test
