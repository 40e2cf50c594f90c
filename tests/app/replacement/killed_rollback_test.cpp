// A run whose registration fails on the last library rolls back; a kill may land before any
// rename or delete of that run, its rollback included. The next start must bring back exactly
// the old installation, whichever change was the last one made.

#include "app/phases/install.h"
#include "app/replacement/journal.h"
#include "app/replacement/undo.h"
#include "app/replacement_scene.h"
#include "app/run/outcome.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QMap>

namespace pelorix::test {
namespace {

// Thrown in place of the change a kill prevents: nothing of the run happens after it.
struct Killed {};

// Every file below the folder with its contents, the backup areas left out.
QMap<QString, QString> contentsBelow(const QString& folder) {
    QMap<QString, QString> contents;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (!path.contains("/.PelorixUpdater-backup")) {
            contents.insert(path, readText(path));
        }
    }
    return contents;
}

class KilledFailingRun : public ::testing::Test {
  protected:
    void SetUp() override {
        scene.writeOldInstallation();
        scene.writeDownloadedFiles();
        scene.programs.exitsWithError = registrarStart("braskDLL.dll", false);
        before = installation();
    }

    QMap<QString, QString> installation() const {
        QMap<QString, QString> contents = contentsBelow(scene.harness.settings.appPath);
        contents.insert(contentsBelow(scene.harness.form.systemFolder));
        return contents;
    }

    // Counts the changes; the one numbered `killAt` is not made and ends the run.
    void countChanges(int killAt) {
        const auto change = [this, killAt] {
            if (changes++ == killAt) {
                throw Killed{};
            }
        };
        scene.files.beforeDelete = [change](const QString&) { change(); };
        scene.files.beforeMove = [change](const QString&, const QString&) { change(); };
    }

    app::Recovery startAgain() {
        scene.files.beforeDelete = nullptr;
        scene.files.beforeMove = nullptr;
        app::ReplacementJournal journal(scene.harness.settings.appPath, scene.files);
        return app::settleJournal(journal, app::replacementJournalTools(scene.context()));
    }

    ReplacementScene scene;
    QMap<QString, QString> before;
    int changes = 0;
};

TEST_F(KilledFailingRun, TheNextStartRestoresTheOldInstallationAfterAKillAtEveryChange) {
    countChanges(-1);
    ASSERT_EQ(app::runReplacement(scene.context()), app::RunOutcome::GeneralFailure);
    const int changesOfTheRun = changes;
    ASSERT_GT(changesOfTheRun, 20);
    ASSERT_EQ(installation(), before);

    for (int killAt = 0; killAt < changesOfTheRun; ++killAt) {
        SCOPED_TRACE("killed before change " + std::to_string(killAt));
        changes = 0;
        countChanges(killAt);
        EXPECT_THROW(app::runReplacement(scene.context()), Killed);

        EXPECT_NE(startAgain(), app::Recovery::Failed);
        EXPECT_EQ(installation(), before);
        EXPECT_FALSE(QFile::exists(scene.harness.settings.appPath + "/PelorixUpdater.journal"));
    }
}

}  // namespace
}  // namespace pelorix::test
