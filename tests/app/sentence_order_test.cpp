#include "app/phase_completion.h"
#include "app/phase_download.h"
#include "app/update_harness.h"
#include "app/update_procedure.h"
#include "i18n/learning_dialog.h"
#include "support/expected_texts.h"

#include <gtest/gtest.h>

#include <functional>

namespace pelorix::app {
namespace {

// Notes the tokens it is asked for and answers each like "Translate Later".
class AskedTokens : public i18n::LearningDialog {
  public:
    void show(const Boxes& boxes, const QString&, const QString&) override {
        tokens.append(boxes.token);
        shown_ = boxes;
    }
    bool isOpen() const override { return false; }
    void processEvents() override {}
    Boxes readAndUnload() override { return {shown_.token, shown_.model, ""}; }

    QStringList tokens;

  private:
    Boxes shown_;
};

struct MessageCase {
    const char* name;
    std::function<void(UpdateContext&)> show;
    QStringList sentences;
};

class SentenceOrder : public ::testing::TestWithParam<MessageCase> {};

// In learn mode the sentences of a message are asked for in the order they are read; a
// language without built-in texts is asked for the updater's added sentences too.
TEST_P(SentenceOrder, LearnModeAsksForTheSentencesInReadingOrder) {
    test::UpdateHarness harness;
    AskedTokens dialog;
    harness.learningDialog = &dialog;
    harness.dir.write("app/language.ini", "[LanguageSettings]\r\nSupportedLanguages=FR\r\n");
    harness.settings.languageSetting = "FRL";
    harness.ui.answers = {MessageAnswer::Cancel};

    GetParam().show(harness.context());

    EXPECT_EQ(dialog.tokens, GetParam().sentences);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SentenceOrder,
    ::testing::Values(
        MessageCase{"Confirmation",
                    [](UpdateContext& ctx) { UpdateProcedure(ctx).run(); },
                    {"Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden.",
                     "Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie "
                     "fortfahren ?"}},
        MessageCase{"GeneralFailure", [](UpdateContext& ctx) { ctx.generalFailureExit(); },
                    test::generalFailureLines()},
        MessageCase{"Interrupted",
                    [](UpdateContext& ctx) { ctx.interruptedExit("here"); },
                    {"Das Update wurde unterbrochen.",
                     "Führen Sie das Update erneut aus, um es abzuschließen."}},
        MessageCase{"DownloadError",
                    [](UpdateContext& ctx) { ShowDownloadError(ctx); },
                    {"Fehler beim Download. Der Vorgang wird abgebrochen.",
                     "Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre Einstellungen der "
                     "Firewall.",
                     "Sie können bei Orvane auch ein Offline-Update erhalten."}},
        MessageCase{"FinalQuestion",
                    [](UpdateContext& ctx) { runCompletion(ctx, true); },
                    {"Das Update wurde erfolgreich durchgeführt.",
                     "Sie müssen die Dienste im Konfigurationsprogramm noch starten.",
                     "Wollen Sie jetzt das Konfigurationsprogramm vom Pelorix öffnen ?"}}),
    [](const ::testing::TestParamInfo<MessageCase>& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace pelorix::app
