#include "app/phases/shutdown.h"
#include "app/update_harness.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/expected_texts.h"
#include "xmlstore/supervisor_process.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

namespace pelorix::app {
namespace {

using namespace std::chrono_literals;

const QString kDocument = "appdata/OrvaneTrellisService/OTRS.xml";
const QString kPxsTarget = R"(processes/process[@name="PelorixService"]/targetstatus)";
const QString kPxsCurrent = R"(processes/process[@name="PelorixService"]/currentstatus)";
const QString kHvsTarget = R"(processes/process[@name="HavrelService"]/targetstatus)";
const QString kHvsCurrent = R"(processes/process[@name="HavrelService"]/currentstatus)";

const QString kGeneralFailure = test::untranslatedMessage(test::generalFailureLines());
const QString kRetryLine =
    "Bitte versuchen Sie es erneut, ggf. kann der Dienst auch erst nach einem Rechnerneustart "
    "beendet werden.!";
const QString kPxsStopped = "Beende den PelorixService!........... OK\r\n";
const QString kHvsStopped = "Beende den HavrelService!............ OK\r\n";

QByteArray controlDocument(const QString& pxsCurrent, const QString& hvsCurrent) {
    return QString(R"(<?xml version="1.0" encoding="UTF-8"?>
<OrvaneTrellisService>
  <processes>
    <process name="PelorixService"><targetstatus>1</targetstatus><currentstatus>%1</currentstatus></process>
    <process name="HavrelService"><targetstatus>1</targetstatus><currentstatus>%2</currentstatus></process>
  </processes>
</OrvaneTrellisService>)")
        .arg(pxsCurrent, hvsCurrent)
        .toUtf8();
}

class ServiceShutdown : public ::testing::Test {
  protected:
    ServiceShutdown() {
        harness.form.progressMaximum = 71;
        harness.ui.mousePointer = MousePointer::Wait;
    }

    void writeDocument(const QByteArray& bytes) { harness.dir.write(kDocument, bytes); }

    // The document as the supervising service would see it now.
    QString read(const QString& path) {
        xmlstore::XmlStore reader(platform::defaultFileSystem());
        return reader.XMLLoadFile(harness.dir.file(kDocument)) ? reader.XMLGetValue(path, "missing")
                                                               : "unreadable";
    }

    // Runs the action once the procedure has slept this often.
    void afterSleeps(int sleeps, std::function<void()> action) {
        harness.clock.onSleep = [this, sleeps, action] {
            if (harness.clock.sleeps == sleeps) {
                action();
            }
        };
    }

    RunOutcome run() { return runServiceShutdown(harness.context()); }

    test::UpdateHarness harness;
};

TEST_F(ServiceShutdown, BothServicesStopOneAfterTheOther) {
    writeDocument(controlDocument("1", "1"));
    // The supervising service reports PelorixService stopped after 30 polls, and HavrelService
    // only once it has been asked.
    harness.clock.onSleep = [this] {
        if (harness.clock.sleeps == 30) {
            ASSERT_EQ(read(kHvsTarget), "1");
            writeDocument(controlDocument("0", "1"));
        }
        if (harness.clock.sleeps > 30 && read(kHvsTarget) == "0") {
            writeDocument(controlDocument("0", "0"));
        }
    };

    EXPECT_EQ(run(), RunOutcome::Continue);
    // 31 passes for PelorixService, 2 for HavrelService; events handled in every pass.
    EXPECT_EQ(harness.clock.sleeps, 33);
    EXPECT_EQ(harness.ui.eventPasses, 33);
    EXPECT_EQ(harness.form.statusText, kPxsStopped + kHvsStopped);
    EXPECT_EQ(harness.form.progressValue, 4);
    EXPECT_TRUE(harness.ui.messages.empty());
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Wait);
}

TEST_F(ServiceShutdown, WritesTheStopRequestIntoTheDocument) {
    writeDocument(controlDocument("0", "0"));
    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_EQ(read(kPxsTarget), "0");
    EXPECT_EQ(read(kHvsTarget), "0");
    EXPECT_EQ(read("OrvaneTrellisService/processes/process/@name"), "missing");
    EXPECT_EQ(read(R"(process[@name="HavrelService"]/currentstatus)"), "0");
}

TEST_F(ServiceShutdown, ADocumentWithoutTheStatusElementCountsAsStopped) {
    writeDocument("<OrvaneTrellisService><processes/></OrvaneTrellisService>");
    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_EQ(harness.clock.sleeps, 2);  // one pass per service
    EXPECT_EQ(harness.form.statusText, kPxsStopped + kHvsStopped);
}

TEST_F(ServiceShutdown, AServiceThatStaysUpEndsTheRunAfterEightSeconds) {
    writeDocument(controlDocument("1", "1"));
    harness.form.updateLog = true;
    harness.clock.advance(300ms);  // the wait starts 0.3 s into a second

    EXPECT_EQ(run(), RunOutcome::ServiceNotStopped);
    EXPECT_EQ(harness.clock.elapsed() - 300ms, 8000ms);
    EXPECT_EQ(harness.form.statusText, "Beende den PelorixService!...... Fehler!\r\n");
    EXPECT_EQ(harness.form.progressValue, 2);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text,
              "Der PelorixService konnte nicht beendet werden.!\r\n" + kRetryLine);
    EXPECT_EQ(harness.ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    EXPECT_TRUE(harness.debugLogText().endsWith("> Error terminating PXS.\r\n"));
    // HavrelService was neither asked nor awaited.
    EXPECT_EQ(read(kPxsTarget), "0");
    EXPECT_EQ(read(kHvsTarget), "1");
}

TEST_F(ServiceShutdown, OnlyExactlyZeroCountsAsStopped) {
    for (const QString& status : QStringList{" 0", "00", "0 ", "O", ""}) {
        test::UpdateHarness fresh;
        fresh.dir.write(kDocument, controlDocument(status, "0"));
        EXPECT_EQ(runServiceShutdown(fresh.context()), RunOutcome::ServiceNotStopped)
            << status.toStdString();
        EXPECT_GE(fresh.clock.elapsed(), 7000ms);
    }
}

TEST_F(ServiceShutdown, HavrelServiceStayingUpLeavesPelorixServiceAsked) {
    writeDocument(controlDocument("1", "1"));
    harness.form.updateLog = true;
    afterSleeps(3, [this] { writeDocument(controlDocument("0", "1")); });

    EXPECT_EQ(run(), RunOutcome::ServiceNotStopped);
    EXPECT_EQ(harness.form.statusText,
              kPxsStopped + "Beende den HavrelService!....... Fehler!\r\n");
    EXPECT_EQ(harness.form.progressValue, 4);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text,
              "Der HavrelService konnte nicht beendet werden.!\r\n" + kRetryLine);
    EXPECT_TRUE(harness.debugLogText().endsWith("> Error terminating HVS.\r\n"));
    EXPECT_EQ(read(kHvsTarget), "0");
}

TEST_F(ServiceShutdown, AnUnreadableDocumentWhilePollingIsNotAStop) {
    writeDocument(controlDocument("1", "0"));
    const QString file = harness.dir.file(kDocument);
    harness.clock.onSleep = [this, file] {
        switch (harness.clock.sleeps) {
            case 2:
                writeDocument("<OrvaneTrellisService><processes><process name=");
                break;
            case 20:
                QFile::remove(file);
                break;
            case 40:
                writeDocument("");
                break;
            case 60:
                writeDocument(controlDocument("0", "0"));
                break;
        }
    };
    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_EQ(harness.clock.sleeps, 62);
}

TEST_F(ServiceShutdown, AMissingDocumentTakesTheGeneralFailureExit) {
    harness.form.updateLog = true;
    EXPECT_EQ(run(), RunOutcome::GeneralFailure);
    EXPECT_EQ(harness.form.statusText, "Beende den PelorixService!");
    EXPECT_EQ(harness.form.progressValue, 1);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, kGeneralFailure);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    EXPECT_FALSE(QFile::exists(harness.dir.file(kDocument)));
    EXPECT_EQ(harness.clock.sleeps, 0);
    const QString log = harness.debugLogText();
    EXPECT_TRUE(log.contains("> Beende den PelorixService!\r\n"));
    // The run's header is the procedure's, written before this phase.
    EXPECT_FALSE(log.contains("Updater started version")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("/OTRS.xml: No such file or directory\r\n")) << log.toStdString();
}

TEST_F(ServiceShutdown, HiddenOrFolderDocumentsAndAnUnresolvedFolderCountAsMissing) {
    harness.dir.write("appdata/OrvaneTrellisService/.OTRS.xml", controlDocument("0", "0"));
    harness.dir.write("appdata/OrvaneTrellisService/OTRS.xml/inner", "");
    EXPECT_EQ(run(), RunOutcome::GeneralFailure);

    test::UpdateHarness unresolved;
    unresolved.installation =
        installationFrom(platform::Environment({{"PELORIX_COMMON_APPDATA", ""}}), "");
    EXPECT_EQ(runServiceShutdown(unresolved.context()), RunOutcome::GeneralFailure);
}

// It is read again for the stop limit (a writer may be half-way through it), then left alone.
TEST_F(ServiceShutdown, AnUnparseableDocumentIsNeitherOverwrittenNorPolled) {
    const QByteArray broken = "<OrvaneTrellisService><processes>";
    writeDocument(broken);
    EXPECT_EQ(run(), RunOutcome::GeneralFailure);
    EXPECT_EQ(harness.dir.read(kDocument), broken);
    EXPECT_EQ(harness.form.statusText, "Beende den PelorixService!");
    EXPECT_GE(harness.clock.elapsed(), 7s);
    EXPECT_LE(harness.clock.elapsed(), 8s);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, kGeneralFailure);
}

// The supervising service is half-way through rewriting the document when the request is
// due: the updater reads it again until it parses, then asks.
TEST_F(ServiceShutdown, ADocumentCutOffByAWriterIsReadAgainBeforeTheRequest) {
    const QByteArray whole = controlDocument("0", "0");
    writeDocument(whole.left(whole.size() / 2));
    afterSleeps(5, [&] { writeDocument(whole); });

    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_EQ(read(kPxsTarget), "0");
    EXPECT_EQ(read(kHvsTarget), "0");
    EXPECT_EQ(harness.form.statusText, kPxsStopped + kHvsStopped);
    EXPECT_TRUE(harness.ui.messages.empty());
}

TEST_F(ServiceShutdown, ARequestThatCannotBeWrittenTakesTheGeneralFailureExit) {
    writeDocument(controlDocument("1", "1"));
    const QByteArray file = QFile::encodeName(harness.dir.file(kDocument));
    ASSERT_EQ(chmod(file.constData(), 0444), 0);
    EXPECT_EQ(run(), RunOutcome::GeneralFailure);
    EXPECT_EQ(harness.clock.sleeps, 0);
    EXPECT_EQ(harness.dir.read(kDocument), controlDocument("1", "1"));
}

struct ClockChange {
    int startSecondsSinceMidnight;
    std::chrono::seconds timeOfDayShift;  // at the first poll
};

class StopLimitUnderClockChanges : public ::testing::TestWithParam<ClockChange> {};

// Across midnight, and when the time of day is set back or forward (daylight saving), the
// stop limit lasts its eight seconds.
TEST_P(StopLimitUnderClockChanges, TheWaitLastsItsLimit) {
    test::UpdateHarness late;
    late.clock = test::FakeClock(GetParam().startSecondsSinceMidnight);
    late.clock.advance(500ms);
    late.clock.onSleep = [&late] {
        if (late.clock.sleeps == 1) {
            late.clock.shiftTimeOfDay(GetParam().timeOfDayShift);
        }
    };
    late.dir.write(kDocument, controlDocument("1", "1"));
    EXPECT_EQ(runServiceShutdown(late.context()), RunOutcome::ServiceNotStopped);
    EXPECT_EQ(late.clock.elapsed(), 8500ms);
}

INSTANTIATE_TEST_SUITE_P(Changes, StopLimitUnderClockChanges,
                         ::testing::Values(ClockChange{86395, 0s}, ClockChange{86399, 0s},
                                           ClockChange{3 * 3600, -3600s},
                                           ClockChange{2 * 3600, 3600s}));

TEST_F(ServiceShutdown, StopsTheServicesOfARealSupervisingService) {
    const QString document = harness.dir.file(kDocument);
    test::SupervisorProcess supervisor;
    ASSERT_TRUE(supervisor.start({"--document", document, "--create", "--delay-ms", "150"}))
        << "build the target pelorix-supervisor first";
    // Poll in real time.
    harness.clock.onSleep = [] { std::this_thread::sleep_for(10ms); };

    EXPECT_EQ(run(), RunOutcome::Continue);
    EXPECT_EQ(harness.form.statusText, kPxsStopped + kHvsStopped);
    EXPECT_GE(harness.clock.elapsed(), 300ms);
    EXPECT_EQ(read(kPxsCurrent), "0");
    EXPECT_EQ(read(kHvsCurrent), "0");
    EXPECT_EQ(supervisor.stop(), 0);
}

}  // namespace
}  // namespace pelorix::app
