#include "app/run/status_output.h"
#include "app/fake_ui.h"
#include "app/run/debug_log.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace pelorix::app {
namespace {

class StatusOutputTest : public ::testing::Test {
  protected:
    StatusOutputTest()
        : log(dir.file("Updater_DebugLog.txt"), platform::defaultFileSystem()),
          status(form, ui, log) {
        status.setProgressRange(71);
    }

    QString logText() const { return platform::decodeAnsi(dir.read("Updater_DebugLog.txt")); }

    test::TempDir dir;
    test::FakeUi ui;
    FormModel form;
    DebugLog log;
    StatusOutput status;
};

TEST_F(StatusOutputTest, ClosedLinesAreFortyCharactersWide) {
    status.openStep("Beende den PelorixService");
    status.closeStep("OK");
    status.openStep("Lade neue Sprachdatei ...");
    status.closeStep("Fehler");

    EXPECT_EQ(form.statusText,
              "Beende den PelorixService............ OK\r\n"
              "Lade neue Sprachdatei ........... Fehler\r\n");
    EXPECT_EQ(ui.statusText, form.statusText);
    EXPECT_EQ(form.progressValue, 4);
}

TEST_F(StatusOutputTest, UmlautsCountAsOneCharacter) {
    status.openStep("Überprüfe Datenbank ...");
    status.closeStep("OK");
    const QString line = form.statusText.chopped(2);
    EXPECT_EQ(line.size(), 40);
    EXPECT_TRUE(line.endsWith(" OK"));
}

TEST_F(StatusOutputTest, WholeLinesMoveNoProgress) {
    status.showLine("Neue Tabellenspalten: 1");
    EXPECT_EQ(form.statusText, "Neue Tabellenspalten: 1\r\n");
    EXPECT_EQ(form.progressValue, 0);
    EXPECT_EQ(ui.repaints, 1);
}

TEST_F(StatusOutputTest, OverlongStepGetsNoDots) {
    const QString longStep(45, 'x');
    status.openStep(longStep);
    status.closeStep("OK");
    EXPECT_EQ(form.statusText, longStep + " OK\r\n");
}

TEST_F(StatusOutputTest, ProgressStopsAtItsMaximum) {
    status.setProgressRange(3);
    for (int i = 0; i < 5; ++i) {
        status.openStep("x");
    }
    EXPECT_EQ(form.progressValue, 3);
    status.setProgressRange(71);
    status.fillProgress();
    EXPECT_EQ(ui.progressValue, 71);
}

TEST_F(StatusOutputTest, TracingLogsEveryTextIncludingResultWords) {
    form.updateLog = true;
    status.openStep("Beende den HavrelService");
    status.closeStep("OK");
    const QStringList lines = logText().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("> Beende den HavrelService"));
    EXPECT_TRUE(lines[1].endsWith("> OK"));
}

TEST_F(StatusOutputTest, NoTracingWritesNoLog) {
    status.openStep("Beende den HavrelService");
    EXPECT_FALSE(QFile::exists(dir.file("Updater_DebugLog.txt")));
}

TEST(DebugLogTest, HeaderLinesAndAnsiText) {
    test::TempDir dir;
    DebugLog log(dir.file("log.txt"), platform::defaultFileSystem());
    log.write("erste Zeile");
    log.writeAfterHeader("\r\n", "Updater started version: v 6.15.1");
    log.writeAfterHeader("", "Größe");

    const QByteArray bytes = dir.read("log.txt");
    EXPECT_TRUE(
        bytes.contains("> Gr\xF6\xDF"
                       "e\r\n"));  // Windows-1252 on disk
    const QStringList lines = platform::decodeAnsi(bytes).split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    // One fixed format whatever the machine's locale: day.month.year, the time, no zone.
    static const QRegularExpression entry(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d> erste Zeile$)");
    EXPECT_TRUE(entry.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(lines[3].endsWith("> Updater started version: v 6.15.1"));
    EXPECT_EQ(lines[4], "");
    EXPECT_TRUE(lines[5].endsWith("> Größe"));
    EXPECT_EQ(lines[6], "");
}

TEST(DebugLogTest, UnwritableLogIsSkippedSilently) {
    test::TempDir dir;
    DebugLog log(dir.file("missing-folder/log.txt"), platform::defaultFileSystem());
    log.write("nothing happens");
    EXPECT_FALSE(QFile::exists(dir.file("missing-folder/log.txt")));
}

}  // namespace
}  // namespace pelorix::app
