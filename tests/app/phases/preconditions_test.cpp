#include "app/phases/procedure.h"
#include "app/run/installation_lock.h"
#include "app/update_harness.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

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
              "Das Update wurde unterbrochen.\rFühren Sie das Update erneut aus, um es "
              "abzuschließen.");
    EXPECT_EQ(harness.form.statusText, "");
    EXPECT_TRUE(
        harness.debugLogText().contains("Interrupted by signal 2 before stopping the services."));
    EXPECT_TRUE(InstallationLock(harness.settings.appPath, harness.form.systemFolder).isFree());
}

// The log's lines, each entry without its time stamp.
QStringList logLines(const QString& text) {
    static const QRegularExpression stamp(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d> )");
    QStringList lines = text.split("\r\n");
    for (QString& line : lines) {
        line.remove(stamp);
    }
    return lines;
}

struct RunStart {
    const char* name;
    std::function<void(test::UpdateHarness&)> arrange;
    // The entry right after the run's header; none: the run logs nothing at all.
    const char* firstEntry;
    bool lockHeldByAnotherRun = false;
};

void PrintTo(const RunStart& start, std::ostream* out) {
    *out << start.name;
}

class RunHeaderTest : public ::testing::TestWithParam<RunStart> {};

// Whatever a run logs first, the header that sets the run off from the previous one comes
// before it; a run refused by the lock of another leaves the other's block alone.
TEST_P(RunHeaderTest, OpensTheRunsBlockInTheLog) {
    test::UpdateHarness harness;
    harness.form.updateLog = true;
    GetParam().arrange(harness);
    InstallationLock other(harness.settings.appPath, harness.form.systemFolder);
    if (GetParam().lockHeldByAnotherRun) {
        ASSERT_EQ(other.take(), platform::LockAttempt::Taken);
    }
    UpdateProcedure procedure(harness.context());

    procedure.run();

    const QStringList lines = logLines(harness.debugLogText());
    if (GetParam().firstEntry == nullptr) {
        EXPECT_EQ(lines, QStringList{""});
        return;
    }
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3), QStringList({"", "", "Updater started version: v 6.15.1"}));
    EXPECT_TRUE(lines[3].startsWith(GetParam().firstEntry)) << lines[3].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunHeaderTest,
    ::testing::Values(RunStart{"ReleaseCheck", [](test::UpdateHarness&) {},
                               "Release not verified: no trusted release key."},
                      RunStart{"DatabaseOnly",
                               [](test::UpdateHarness& harness) {
                                   harness.form.updateDatabaseOnlyCheck = 1;
                               },
                               "Beende den PelorixService!"},
                      RunStart{"Interrupted",
                               [](test::UpdateHarness& harness) {
                                   harness.context().interruptionRequest = [] { return 15; };
                               },
                               "Interrupted by signal 15 before stopping the services."},
                      RunStart{"LockFileUnavailable",
                               [](test::UpdateHarness& harness) {
                                   harness.settings.appPath = harness.dir.file("no such folder");
                               },
                               "Error creating the lock file "},
                      RunStart{"LockHeldByAnotherRun", [](test::UpdateHarness&) {}, nullptr, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::app
