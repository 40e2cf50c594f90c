#include "app/run/installation_lock.h"
#include "app/update_harness.h"
#include "app/phases/procedure.h"

#include <gtest/gtest.h>

namespace pelorix::app {
namespace {

class PreconditionsTest : public ::testing::Test {
  protected:
    test::UpdateHarness harness;
};

TEST_F(PreconditionsTest, RunningMainProgramRefusesTheUpdate) {
    harness.processes.processes = {{7, {"OLDPELORIX.EXE"}}};
    harness.form.statusText = "from an earlier run\r\n";
    UpdateProcedure procedure(harness.context());

    EXPECT_EQ(procedure.run(), RunOutcome::MainProgramRunning);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, "Sie müssen vor dem Update erst den Pelorix beenden.!");
    EXPECT_EQ(harness.ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(harness.form.statusText, "");
    EXPECT_EQ(harness.form.progressMaximum, 71);
    EXPECT_TRUE(harness.processes.terminated.empty());
}

TEST_F(PreconditionsTest, CancelAtTheConfirmationChangesNothing) {
    harness.ui.answers = {MessageAnswer::Cancel};
    harness.ui.mousePointer = MousePointer::Default;
    UpdateProcedure procedure(harness.context());

    EXPECT_EQ(procedure.run(), RunOutcome::Cancelled);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text,
              "Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden.!\r\n"
              "Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie "
              "fortfahren ?!");
    EXPECT_EQ(harness.ui.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    EXPECT_EQ(harness.form.statusText, "");
    EXPECT_EQ(harness.form.progressValue, 0);
}

TEST_F(PreconditionsTest, TranslatedMessagesComeFromTheLanguageFile) {
    harness.dir.write("app/Language.ini",
                      test::cp1252("[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n"
                                   "[Sie müssen vor dem Update erst den Pelorix beenden.]\r\n"
                                   "EN=Please close Pelorix first./nThen try again.\r\n"));
    harness.settings.languageSetting = "EN";
    harness.processes.processes = {{7, {"Pelorix.exe"}}};
    UpdateProcedure procedure(harness.context());
    procedure.run();
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, "Please close Pelorix first.\r\nThen try again.");
}

TEST_F(PreconditionsTest, ASecondClickDuringARunIsIgnored) {
    UpdateProcedure procedure(harness.context());
    RunOutcome nested = RunOutcome::Cancelled;
    bool clicked = false;
    // The confirmation is answered OK; while the run then waits for the services, the user
    // clicks again.
    harness.ui.onProcessEvents = [&] {
        if (!clicked) {
            clicked = true;
            nested = procedure.run();
        }
    };
    harness.dir.write("appdata/OrvaneTrellisService/OTRS.xml",
                      "<processes><process name=\"PelorixService\"><currentstatus>1"
                      "</currentstatus><targetstatus>1</targetstatus></process></processes>");
    procedure.run();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(nested, RunOutcome::Continue);
    EXPECT_FALSE(procedure.isRunning());
}

// A signal that arrived before the confirmation ends the run before the services are asked to
// stop; the lock is let go with the run.
TEST_F(PreconditionsTest, AnInterruptionStopsTheRunBeforeTheServices) {
    harness.form.updateLog = true;
    UpdateContext& context = harness.context();
    context.interruptionRequest = [] { return 2; };
    UpdateProcedure procedure(context);

    EXPECT_EQ(procedure.run(), RunOutcome::Interrupted);
    EXPECT_EQ(exitStatus(RunOutcome::Interrupted), 8);
    ASSERT_EQ(harness.ui.messages.size(), 2u);
    EXPECT_EQ(harness.ui.messages[1].text,
              "Das Update wurde unterbrochen.!\rFühren Sie das Update erneut aus, um es "
              "abzuschließen.!");
    EXPECT_EQ(harness.form.statusText, "");
    EXPECT_TRUE(
        harness.debugLogText().contains("Interrupted by signal 2 before stopping the services."));
    EXPECT_TRUE(InstallationLock::isFree(harness.settings.settingsFolder));
}

}  // namespace
}  // namespace pelorix::app
