#include "app/phases/install.h"

#include "app/release/components.h"
#include "app/replacement_scene.h"
#include "app/run/outcome.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace pelorix::test {
namespace {

using app::RunOutcome;

class ReplacementRun : public ::testing::Test {
  protected:
    void SetUp() override {
        scene.writeOldInstallation();
        scene.writeDownloadedFiles();
    }

    ReplacementScene scene;
};

TEST_F(ReplacementRun, InstallsEveryNewFileAndRemovesTheRetiredOnes) {
    EXPECT_EQ(app::runReplacement(scene.context()), RunOutcome::Continue);

    for (const app::ReleaseComponent& component : app::kReleaseComponents) {
        const QString name = component.fileName.toString();
        const QString installed = component.installFolder == app::InstallFolder::SystemFolder
                                      ? scene.systemFile(name)
                                      : scene.appFile(name);
        if (name != "Language.ini") {
            EXPECT_EQ(readText(installed), "new " + name);
        }
        if (component.temporaryName.toString() != "/" + name) {
            EXPECT_FALSE(QFile::exists(component.temporaryPath(scene.harness.settings.appPath)))
                << name.toStdString();
        }
    }
    EXPECT_EQ(scene.harness.dir.read("app/Language.ini"), scene.languageFile("(neu)"));
    EXPECT_FALSE(QFile::exists(scene.appFile("braskDLL.dll")));
    EXPECT_FALSE(QFile::exists(scene.systemFile("HavrelDLL.dll")));
    EXPECT_FALSE(QFile::exists(scene.appFile("web")));
    EXPECT_FALSE(QFile::exists(scene.appFile("PelorixDokumentation")));
    EXPECT_TRUE(scene.messageTexts().isEmpty());
}

// Fifteen closed lines, the lines after the new language file translated by the new file, and
// thirty steps of the bar (38 before the phase, 68 after it).
TEST_F(ReplacementRun, WritesFifteenClosedLinesAndAdvancesTheBarByThirty) {
    app::UpdateContext& ctx = scene.context();
    ctx.status.setProgressRange(71);
    scene.harness.form.progressValue = 38;

    ASSERT_EQ(app::runReplacement(ctx), RunOutcome::Continue);

    QString expected;
    const QStringList tokens = replacementSteps();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        // Up to the line of the new language file the old file translates.
        expected += closedLine(tokens[i] + (i <= 8 ? " (alt)" : " (neu)"));
    }
    EXPECT_EQ(scene.statusText(), expected);
    EXPECT_EQ(scene.harness.form.progressValue, 68);
    EXPECT_EQ(scene.harness.ui.progressValue, 68);
}

// Between the removal of the old language file and the move of the new one nothing is looked up
// in it: the install line carries the old file's translation, taken before the removal.
TEST_F(ReplacementRun, TranslatesTheLanguageLineBeforeTheOldFileGoes) {
    QString statusWhenMoved;
    scene.files.beforeMove = [&](const QString& from, const QString&) {
        if (from.endsWith("/Language.tmp")) {
            EXPECT_FALSE(QFile::exists(scene.appFile("Language.ini")));
            statusWhenMoved = scene.statusText();
        }
    };

    ASSERT_EQ(app::runReplacement(scene.context()), RunOutcome::Continue);

    EXPECT_TRUE(statusWhenMoved.endsWith(closedLine("Entferne alte Sprachdatei ... (alt)") +
                                         "Installiere neue Sprachdatei ... (alt)"))
        << statusWhenMoved.toStdString();
    const qsizetype removed =
        scene.files.calls.indexOf("deleteFile " + scene.appFile("Language.ini"));
    const qsizetype moved = scene.files.calls.indexOf("moveFile " + scene.appFile("Language.tmp") +
                                                      " -> " + scene.appFile("Language.ini"));
    ASSERT_GE(removed, 0);
    EXPECT_EQ(moved, removed + 1);
}

// The old file may carry its name in another case; the new one takes the name as installed.
TEST_F(ReplacementRun, ReplacesALanguageFileNamedInAnotherCase) {
    ASSERT_TRUE(QFile::rename(scene.appFile("Language.ini"), scene.appFile("language.ini")));

    ASSERT_EQ(app::runReplacement(scene.context()), RunOutcome::Continue);

    EXPECT_FALSE(QDir(scene.appFile("")).entryList(QDir::Files).contains("language.ini"));
    EXPECT_EQ(scene.harness.dir.read("app/Language.ini"), scene.languageFile("(neu)"));
    EXPECT_TRUE(scene.statusText().contains("Installiere neue Sprachdatei ... (alt)"));
    EXPECT_TRUE(scene.statusText().contains("Registriere neue DLL's ... (neu)"));
}

// The registrars get two seconds before their libraries are deleted; the library path stays one
// argument even with blanks in it.
TEST_F(ReplacementRun, UnregistersWaitsThenRegistersWithThePathAsOneArgument) {
    scene.harness.form.systemFolder = scene.harness.dir.mkdir("Windows/system 32");
    scene.writeOldInstallation();
    std::optional<std::chrono::milliseconds> waitedBeforeFirstDelete;
    size_t startsBeforeFirstDelete = 0;
    scene.files.beforeDelete = [&](const QString&) {
        if (!waitedBeforeFirstDelete) {
            waitedBeforeFirstDelete = scene.harness.clock.elapsed();
            startsBeforeFirstDelete = scene.programs.started.size();
        }
    };

    ASSERT_EQ(app::runReplacement(scene.context()), RunOutcome::Continue);

    const QString system = scene.harness.form.systemFolder;
    const QStringList libraries = {"TobrinDLL.dll", "MireldaDLL.dll", "Quennel.dll",
                                   "braskDLL.dll"};
    ASSERT_EQ(scene.programs.started.size(), 8u);
    for (int i = 0; i < 4; ++i) {
        const QStringList& unregistration = scene.programs.started[i];
        const QStringList& registration = scene.programs.started[4 + i];
        EXPECT_EQ(QFileInfo(unregistration[0]).completeBaseName().toLower(), "regsvr32");
        EXPECT_EQ(unregistration.mid(1), QStringList({system + "/" + libraries[i], "/u", "/s"}));
        EXPECT_EQ(registration.mid(1), QStringList({system + "/" + libraries[i], "/s"}));
    }
    EXPECT_EQ(readText(system + "/TobrinDLL.dll"), "new TobrinDLL.dll");
    EXPECT_EQ(startsBeforeFirstDelete, 4u);
    EXPECT_EQ(waitedBeforeFirstDelete, std::chrono::seconds(2));
    // Two seconds after unregistering, one before closing the services line.
    EXPECT_EQ(scene.harness.clock.elapsed(), std::chrono::seconds(3));
}

// A run that failed while moving is rolled back to the old release, and the next one, after a
// fresh download, installs everything.
TEST_F(ReplacementRun, SecondRunAfterAFailureCompletesTheInstallation) {
    QFile::remove(scene.appFile("RP.exe"));
    ASSERT_EQ(app::runReplacement(scene.context()), RunOutcome::GeneralFailure);
    ASSERT_EQ(readText(scene.systemFile("TobrinDLL.dll")), "old TobrinDLL.dll");
    scene.harness.ui.messages.clear();
    scene.writeDownloadedFiles();

    EXPECT_EQ(app::runReplacement(scene.context()), RunOutcome::Continue);

    EXPECT_TRUE(scene.messageTexts().isEmpty());
    EXPECT_EQ(readText(scene.appFile("Reports.exe")), "new Reports.exe");
    EXPECT_EQ(readText(scene.appFile("Pelorix.exe")), "new Pelorix.exe");
    EXPECT_FALSE(QFile::exists(scene.appFile("PX.exe")));
    EXPECT_FALSE(QFile::exists(scene.appFile("Language.tmp")));
}

}  // namespace
}  // namespace pelorix::test
