#include "app/replacement/journal.h"
#include "app/phases/procedure.h"
#include "app/replacement/undo.h"
#include "app/update_harness.h"
#include "platform/file_system.h"
#include "support/fake_processes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QFile>

namespace pelorix::test {
namespace {

using app::JournalEntry;
using app::JournalStep;

class Journal : public ::testing::Test {
  protected:
    TempDir dir;
    platform::FileSystem& files = platform::defaultFileSystem();
    app::ReplacementJournal journal{dir.mkdir("settings"), files};
    RecordingProgramStarter programs;
    QStringList log;
    app::JournalTools tools{files, programs, "regsvr32",
                            [this](const QString& message) { log << message; }};
};

// Every name survives the line format, and a line torn by a crash is left out.
TEST_F(Journal, ReadsBackCompleteLinesOnly) {
    ASSERT_TRUE(journal.record({JournalStep::MoveAside, "/a b/c\n%d.exe", "/x/.backup/c d"}));
    ASSERT_TRUE(journal.record({JournalStep::Commit, {}, {}}));
    QFile file(journal.path());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("install /half");
    file.close();

    const std::vector<JournalEntry> entries = journal.read();

    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].step, JournalStep::MoveAside);
    EXPECT_EQ(entries[0].path, "/a b/c\n%d.exe");
    EXPECT_EQ(entries[0].other, "/x/.backup/c d");
    EXPECT_EQ(entries[1].step, JournalStep::Commit);
}

// A run killed after its commit left only the clean-up: the next start finishes it and undoes
// nothing.
TEST_F(Journal, ACommittedJournalIsFinishedNotRolledBack) {
    const QString area = dir.mkdir("app/.PelorixUpdater-backup");
    dir.write("app/.PelorixUpdater-backup/Pelorix.exe", "old");
    dir.write("app/Pelorix.exe", "new");
    const QString source = dir.write("release/Pelorix.exe", "new");
    for (const JournalEntry& entry :
         {JournalEntry{JournalStep::BackupArea, area, {}},
          JournalEntry{JournalStep::ReleaseSource, source, {}},
          JournalEntry{JournalStep::MoveAside, dir.file("app/Pelorix.exe"), area + "/Pelorix.exe"},
          JournalEntry{JournalStep::Install, dir.file("app/PX.exe"), dir.file("app/Pelorix.exe")},
          JournalEntry{JournalStep::Commit, {}, {}}}) {
        ASSERT_TRUE(journal.record(entry));
    }

    EXPECT_EQ(app::settleJournal(journal, tools), app::Recovery::Completed);

    EXPECT_EQ(dir.read("app/Pelorix.exe"), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(area));
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_FALSE(journal.exists());
    EXPECT_EQ(app::settleJournal(journal, tools), app::Recovery::NothingToDo);
}

// Where the killed run kept its journal: the program folder, or the settings folder (an older
// version).
struct JournalPlace {
    const char* name;
    QString (*folder)(const UpdateHarness&);
};

void PrintTo(const JournalPlace& place, std::ostream* out) {
    *out << place.name;
}

class JournalAtThePress : public ::testing::TestWithParam<JournalPlace> {};

// A run that died in its replacement while another start held the lock: the next press puts
// the old release back before anything else, and says so.
TEST_P(JournalAtThePress, IsRolledBackBeforeTheServicesAreAsked) {
    UpdateHarness harness;
    const QString original = harness.dir.file("app/Pelorix.exe");
    const QString backup = harness.dir.write("app/.PelorixUpdater-backup/Pelorix.exe", "old");
    harness.dir.write("app/PX.exe", "new");
    app::ReplacementJournal journal(GetParam().folder(harness), platform::defaultFileSystem());
    ASSERT_TRUE(journal.record(
        {JournalStep::BackupArea, harness.dir.file("app/.PelorixUpdater-backup"), {}}));
    ASSERT_TRUE(journal.record({JournalStep::MoveAside, original, backup}));
    ASSERT_TRUE(
        journal.record({JournalStep::Unregister, harness.dir.file("system/Quennel.dll"), {}}));
    app::UpdateProcedure procedure(harness.context());

    procedure.run();  // no control document: the general failure exit after the recovery

    EXPECT_EQ(harness.dir.read("app/Pelorix.exe"), QByteArray("old"));
    EXPECT_EQ(harness.dir.read("app/PX.exe"), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_FALSE(journal.exists());
    EXPECT_TRUE(harness.form.statusText.startsWith(
        "Die vorherige Version wurde nach einem abgebrochenen Update wiederhergestellt.\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Places, JournalAtThePress,
                         ::testing::Values(JournalPlace{"ProgramFolder",
                                                        [](const UpdateHarness& harness) {
                                                            return harness.settings.appPath;
                                                        }},
                                           JournalPlace{"SettingsFolderOfAnOlderVersion",
                                                        [](const UpdateHarness& harness) {
                                                            return harness.settings.settingsFolder;
                                                        }}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::test
