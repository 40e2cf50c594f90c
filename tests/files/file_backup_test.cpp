#include "files/file_backup.h"

#include "platform/file_system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace pelorix::files {
namespace {

using test::TempDir;

// A backup between the database folder and the settings folder of a scratch installation, with
// the status lines and messages it shows written down.
struct BackupScene {
    TempDir dir;
    QString dataBasePath = dir.mkdir("db");
    QString settingsFolder = dir.mkdir("Pelorix");
    // "open:<text>" (opened), "close:<word>" (closed) and "message <text>" in the order they were
    // shown.
    QStringList shown;
    FileBackup backup{platform::defaultFileSystem(),
                      dataBasePath,
                      settingsFolder,
                      {[this](const QString& text) { shown.append("open:" + text); },
                       [this](const QString& text) { shown.append("close:" + text); }},
                      [this](const QString& text) { shown.append("message " + text); }};
};

TEST(CopyFiles, CopiesIntoTheSettingsFolderReplacingAnOldCopy) {
    BackupScene scene;
    scene.dir.write("db/Pelorix.mdb", "new contents");
    scene.dir.write("Pelorix/Pelorix.mdb", "old");

    scene.backup.CopyFiles("Pelorix.mdb");

    EXPECT_EQ(scene.dir.read("Pelorix/Pelorix.mdb"), "new contents");
    EXPECT_EQ(scene.shown, QStringList({"open:Sichere Pelorix.mdb ...", "close:OK"}));
}

TEST(CopyFiles, AbsentOrHiddenSourceShowsNothing) {
    BackupScene scene;
    scene.dir.write("db/.Pelorix.mdb", "hidden");

    scene.backup.CopyFiles("Pelorix.mdb");
    scene.backup.CopyFiles(".Pelorix.mdb");

    EXPECT_TRUE(scene.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(scene.settingsFolder + "/.Pelorix.mdb"));
}

TEST(CopyFiles, ReadOnlyDestinationAsksForAManualCopy) {
    BackupScene scene;
    scene.dir.write("db/Pelorix.mdb", "new");
    const QString target = scene.dir.write("Pelorix/Pelorix.mdb", "old");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    scene.backup.CopyFiles("Pelorix.mdb");

    EXPECT_EQ(scene.dir.read("Pelorix/Pelorix.mdb"), "old");
    EXPECT_EQ(scene.shown,
              QStringList({"open:Sichere Pelorix.mdb ...",
                           "message Die Datei Pelorix.mdb konnte nicht kopiert werden. Bitte "
                           "kopieren Sie die\r\nDatei Pelorix.mdb manuell nach: " +
                               scene.settingsFolder,
                           "close:Fehler"}));
}

TEST(CopyFiles, MissingSettingsFolderIsAFailedCopy) {
    BackupScene scene;
    scene.dir.write("db/Pelorix.mdb", "new");
    QDir(scene.settingsFolder).removeRecursively();

    scene.backup.CopyFiles("Pelorix.mdb");

    ASSERT_EQ(scene.shown.size(), 3);
    EXPECT_TRUE(scene.shown[1].startsWith("message Die Datei Pelorix.mdb"));
    EXPECT_EQ(scene.shown[2], "close:Fehler");
}

}  // namespace
}  // namespace pelorix::files
