#include "app/phases/completion.h"

#include "app/replacement_scene.h"
#include "app/run/outcome.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace pelorix::test {
namespace {

using app::MessageAnswer;
using app::RunOutcome;

const QString kQuestion =
    "Das Update wurde erfolgreich durchgeführt.!\r"
    "Sie müssen die Dienste im Konfigurationsprogramm noch starten.!\r\r"
    "Wollen Sie jetzt das Konfigurationsprogramm vom Pelorix öffnen ?!";

// The completion after a whole update: the bar stands at 68 of 71 when it begins.
class Completion : public ::testing::Test {
  protected:
    void SetUp() override {
        scene.harness.settings.appPath = scene.harness.dir.mkdir("Program Files/Pelorix");
        scene.harness.dir.write("Program Files/Pelorix/Language.ini", scene.languageFile("(neu)"));
        app::UpdateContext& ctx = scene.context();
        ctx.status.setProgressRange(71);
        scene.harness.form.progressValue = 68;
        scene.harness.ui.mousePointer = app::MousePointer::Wait;
    }

    RunOutcome complete(MessageAnswer answer, bool databaseOnly = false) {
        scene.harness.ui.answers.push_back(answer);
        return app::runCompletion(scene.context(), databaseOnly);
    }

    QStringList fileChanges() const {
        return scene.files.calls.filter(
            QRegularExpression("^(deleteFile|moveFile|copyFile|createFile|createFolder|"
                               "removeEmptyFolder|replaceFileContents|appendToFile) "));
    }

    ReplacementScene scene;
};

TEST_F(Completion, ShowsTheSuccessLineFillsTheBarAndAsks) {
    int progressWhileWaitingFirst = -1;
    scene.harness.ui.onProcessEvents = [&] {
        if (progressWhileWaitingFirst < 0) {
            progressWhileWaitingFirst = scene.harness.form.progressValue;
        }
    };

    EXPECT_EQ(complete(MessageAnswer::No), RunOutcome::Completed);

    EXPECT_EQ(progressWhileWaitingFirst, 68);
    EXPECT_EQ(scene.statusText(), "Update erfolgreich ausgeführt. (neu)\r\n");
    EXPECT_EQ(scene.harness.form.progressValue, 71);
    EXPECT_EQ(scene.harness.ui.progressValue, 71);
    ASSERT_EQ(scene.harness.ui.messages.size(), 1u);
    EXPECT_EQ(scene.harness.ui.messages[0].text, kQuestion);
    EXPECT_EQ(scene.harness.ui.messages[0].buttons, app::MessageButtons::YesNo);
    EXPECT_EQ(scene.harness.clock.elapsed(), std::chrono::seconds(2));
}

TEST_F(Completion, NoStartsNothingAndKeepsTheWindow) {
    EXPECT_EQ(complete(MessageAnswer::No), RunOutcome::Completed);

    EXPECT_TRUE(scene.programs.started.empty());
    EXPECT_FALSE(scene.harness.ui.quitRequested);
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Default);
}

// The path holds a blank: it must reach the program start as one argument.
TEST_F(Completion, YesStartsTheMainProgramAndEndsTheUpdater) {
    EXPECT_EQ(complete(MessageAnswer::Yes), RunOutcome::MainProgramStarted);

    ASSERT_EQ(scene.programs.started.size(), 1u);
    EXPECT_EQ(scene.programs.started[0],
              QStringList{scene.harness.dir.path() + "/Program Files/Pelorix/Pelorix.exe"});
    EXPECT_TRUE(scene.harness.ui.quitRequested);
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Default);
}

TEST_F(Completion, MainProgramThatCannotStartIsTheFailureExit) {
    scene.programs.fails = [](const QStringList&) { return true; };

    EXPECT_EQ(complete(MessageAnswer::Yes), RunOutcome::GeneralFailure);

    EXPECT_FALSE(scene.harness.ui.quitRequested);
    ASSERT_EQ(scene.harness.ui.messages.size(), 2u);
    EXPECT_EQ(scene.harness.ui.messages[1].text, untranslatedMessage(generalFailureLines()));
    EXPECT_EQ(scene.harness.ui.mousePointer, app::MousePointer::Default);
}

// The database-only run wrote its own success line; the completion adds none and changes no file.
TEST_F(Completion, DatabaseOnlyRunGetsTheSameQuestionWithoutFileChanges) {
    scene.harness.form.updateLog = false;

    EXPECT_EQ(complete(MessageAnswer::No, true), RunOutcome::Completed);

    EXPECT_TRUE(scene.statusText().isEmpty());
    EXPECT_EQ(scene.harness.form.progressValue, 71);
    ASSERT_EQ(scene.harness.ui.messages.size(), 1u);
    EXPECT_EQ(scene.harness.ui.messages[0].text, kQuestion);
    EXPECT_TRUE(fileChanges().isEmpty()) << fileChanges().join('\n').toStdString();
    EXPECT_TRUE(scene.programs.started.empty());
    EXPECT_EQ(scene.harness.clock.elapsed(), std::chrono::seconds(1));
}

}  // namespace
}  // namespace pelorix::test
