#include "platform/posix/file_system.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

namespace pelorix::platform {
namespace {

mode_t modeOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
    return status.st_mode & 07777;
}

void setMode(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

dev_t deviceOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_dev : 0;
}

// Makes every write past a few bytes fail with EFBIG, a real write error even for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

class FileSystemChanges : public ::testing::Test {
  protected:
    test::TempDir dir;
    PosixFileSystem fs;

    QStringList namesIn(const QString& relative) const {
        return QDir(dir.file(relative))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
};

TEST_F(FileSystemChanges, ReadOnlyFilesAreRefusedEvenForRoot) {
    const QString locked = dir.write("locked.dll", "old");
    const QString other = dir.write("other.dll", "new");
    setMode(locked, 0444);

    EXPECT_FALSE(fs.deleteFile(dir.file("LOCKED.dll")));
    EXPECT_FALSE(fs.createFile(locked));
    EXPECT_FALSE(fs.replaceFileContents(locked, "new"));
    EXPECT_FALSE(fs.appendToFile(locked, "more"));
    EXPECT_FALSE(fs.copyFile(other, dir.file("Locked.dll"), true));
    EXPECT_FALSE(fs.moveFile(other, locked));
    EXPECT_EQ(dir.read("locked.dll"), QByteArray("old"));
    EXPECT_EQ(dir.read("other.dll"), QByteArray("new"));

    // A rename of the read-only file itself is allowed, as on Windows.
    EXPECT_TRUE(fs.moveFile(locked, dir.file("renamed.dll")));
    EXPECT_EQ(modeOf(dir.file("renamed.dll")), 0444u);
}

TEST_F(FileSystemChanges, DeleteRemovesFilesButNotFolders) {
    dir.write("Old.exe", "x");
    dir.write(".hidden", "x");
    dir.mkdir("Folder");
    EXPECT_TRUE(fs.deleteFile(dir.file("old.EXE")));
    EXPECT_TRUE(fs.deleteFile(dir.file(".hidden")));
    EXPECT_FALSE(fs.deleteFile(dir.file("folder")));
    EXPECT_FALSE(fs.deleteFile(dir.file("missing")));
    EXPECT_EQ(namesIn(""), QStringList{"Folder"});
}

TEST_F(FileSystemChanges, MoveRenamesAndRefusesAnExistingNameInAnyCase) {
    dir.write("new.ini", "new");
    dir.write("Language.ini", "old");
    EXPECT_FALSE(fs.moveFile(dir.file("new.ini"), dir.file("language.ini")));
    EXPECT_EQ(dir.read("Language.ini"), QByteArray("old"));
    EXPECT_EQ(dir.read("new.ini"), QByteArray("new"));

    EXPECT_TRUE(fs.deleteFile(dir.file("language.ini")));
    EXPECT_TRUE(fs.moveFile(dir.file("NEW.INI"), dir.file("language.ini")));
    EXPECT_EQ(namesIn(""), QStringList{"language.ini"});
    EXPECT_EQ(dir.read("language.ini"), QByteArray("new"));
    EXPECT_FALSE(fs.moveFile(dir.file("new.ini"), dir.file("again.ini")));
}

TEST_F(FileSystemChanges, MoveCanChangeTheCaseOfAName) {
    dir.write("readme.txt", "text");
    EXPECT_TRUE(fs.moveFile(dir.file("readme.txt"), dir.file("README.TXT")));
    EXPECT_EQ(namesIn(""), QStringList{"README.TXT"});
    EXPECT_TRUE(fs.moveFile(dir.file("README.TXT"), dir.file("README.TXT")));
    EXPECT_EQ(dir.read("README.TXT"), QByteArray("text"));
}

// A link at a name that is created or moved into place could point anywhere: it is replaced
// by the new file, and never moved itself.
TEST_F(FileSystemChanges, ALinkIsReplacedByANewFileAndNeverMoved) {
    dir.mkdir("elsewhere");
    const QString outside = dir.file("elsewhere/target.bin");
    ASSERT_EQ(
        ::symlink(outside.toLocal8Bit().constData(), dir.file("PXS.exe").toLocal8Bit().constData()),
        0);

    auto writer = fs.createFile(dir.file("PXS.exe"));
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->write("MZ", 2));
    ASSERT_TRUE(writer->close());
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_FALSE(QFileInfo(dir.file("PXS.exe")).isSymLink());
    EXPECT_EQ(dir.read("PXS.exe"), QByteArray("MZ"));

    ASSERT_EQ(::symlink(dir.file("PXS.exe").toLocal8Bit().constData(),
                        dir.file("HVS.exe").toLocal8Bit().constData()),
              0);
    EXPECT_FALSE(fs.moveFile(dir.file("HVS.exe"), dir.file("HavrelService.exe")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("HavrelService.exe")));
}

TEST_F(FileSystemChanges, ProgramsAreCreatedExecutableAndStaySo) {
    ::umask(022);
    auto writer = fs.createFile(dir.file("Tool.EXE"));
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->write("MZ", 2));
    ASSERT_TRUE(writer->close());
    EXPECT_EQ(modeOf(dir.file("Tool.EXE")), 0755u);
    ASSERT_TRUE(fs.createFile(dir.file("notes.txt")));
    EXPECT_EQ(modeOf(dir.file("notes.txt")), 0644u);
    ASSERT_TRUE(fs.replaceFileContents(dir.file("Other.exe"), "MZ"));
    EXPECT_EQ(modeOf(dir.file("Other.exe")), 0755u);

    dir.mkdir("bin");
    ASSERT_TRUE(fs.moveFile(dir.file("tool.exe"), dir.file("bin/Pelorix.exe")));
    EXPECT_EQ(modeOf(dir.file("bin/Pelorix.exe")), 0755u);
    ASSERT_TRUE(fs.copyFile(dir.file("bin/pelorix.exe"), dir.file("Copy.exe"), false));
    EXPECT_EQ(modeOf(dir.file("Copy.exe")), 0755u);
    EXPECT_EQ(dir.read("Copy.exe"), QByteArray("MZ"));
}

TEST_F(FileSystemChanges, MoveAcrossFileSystemsCopiesThenDeletes) {
    QTemporaryDir other("/dev/shm/pelorix-test-XXXXXX");
    if (!other.isValid() || deviceOf(other.path()) == deviceOf(dir.path())) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const QString source = dir.write("Setup.exe", QByteArray(200 * 1024, 'p'));
    setMode(source, 0750);
    const QString target = other.path() + "/Setup.exe";
    ASSERT_TRUE(fs.moveFile(dir.file("SETUP.EXE"), target));
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_EQ(modeOf(target), 0750u);
    QFile moved(target);
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), QByteArray(200 * 1024, 'p'));

    // Across file systems an existing name is refused as well, and folders do not move.
    dir.write("setup.EXE", "second");
    EXPECT_FALSE(fs.moveFile(dir.file("setup.EXE"), other.path() + "/SETUP.exe"));
    EXPECT_EQ(dir.read("setup.EXE"), QByteArray("second"));
    dir.mkdir("Docs");
    EXPECT_FALSE(fs.moveFile(dir.file("Docs"), other.path() + "/Docs"));
    EXPECT_TRUE(QFile::exists(dir.file("Docs")));
    EXPECT_EQ(QDir(other.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Setup.exe"});
}

TEST_F(FileSystemChanges, CopyRespectsTheReplaceFlag) {
    dir.write("a.txt", "A");
    dir.write("B.txt", "B");
    EXPECT_FALSE(fs.copyFile(dir.file("a.txt"), dir.file("b.txt"), false));
    EXPECT_EQ(dir.read("B.txt"), QByteArray("B"));
    EXPECT_TRUE(fs.copyFile(dir.file("A.TXT"), dir.file("b.txt"), true));
    EXPECT_EQ(dir.read("B.txt"), QByteArray("A"));
    EXPECT_EQ(namesIn(""), (QStringList{"B.txt", "a.txt"}));
    // Onto itself the copy must not destroy the file.
    EXPECT_FALSE(fs.copyFile(dir.file("a.txt"), dir.file("A.txt"), true));
    EXPECT_EQ(dir.read("a.txt"), QByteArray("A"));
    EXPECT_FALSE(fs.copyFile(dir.file("missing"), dir.file("c.txt"), true));
    EXPECT_FALSE(fs.copyFile(dir.file("a.txt"), dir.file("nofolder/c.txt"), true));
    EXPECT_FALSE(fs.copyFile(dir.mkdir("folder"), dir.file("d.txt"), true));
    EXPECT_EQ(namesIn(""), (QStringList{"B.txt", "a.txt", "folder"}));
}

TEST_F(FileSystemChanges, ReplaceKeepsTheOldFileWhenWritingFails) {
    const QString file = dir.write("Pelorix.ini", "old contents");
    setMode(file, 0600);
    {
        FileSizeLimit limit(64);
        EXPECT_FALSE(fs.replaceFileContents(dir.file("pelorix.INI"), QByteArray(4096, 'n')));
    }
    EXPECT_EQ(dir.read("Pelorix.ini"), QByteArray("old contents"));
    EXPECT_EQ(namesIn(""), QStringList{"Pelorix.ini"});  // no temporary file left behind

    ASSERT_TRUE(fs.replaceFileContents(dir.file("pelorix.INI"), "new contents"));
    EXPECT_EQ(dir.read("Pelorix.ini"), QByteArray("new contents"));
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(namesIn(""), QStringList{"Pelorix.ini"});
    EXPECT_FALSE(fs.replaceFileContents(dir.file("nofolder/x.ini"), "x"));
    EXPECT_FALSE(fs.replaceFileContents(dir.mkdir("folder.ini"), "x"));
}

TEST_F(FileSystemChanges, WriterStreamsToDiskAndReportsFailures) {
    dir.write("Download.TMP", "previous contents");
    auto writer = fs.createFile(dir.file("download.tmp"));
    ASSERT_TRUE(writer);
    EXPECT_EQ(dir.read("Download.TMP"), QByteArray());  // truncated at once
    ASSERT_TRUE(writer->write("first", 5));
    EXPECT_EQ(dir.read("Download.TMP"), QByteArray("first"));
    ASSERT_TRUE(writer->write(" second", 7));
    EXPECT_TRUE(writer->close());
    EXPECT_EQ(dir.read("Download.TMP"), QByteArray("first second"));

    auto failing = fs.createFile(dir.file("big.bin"));
    ASSERT_TRUE(failing);
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(failing->write(QByteArray(1024, 'x').constData(), 1024));
    }
    EXPECT_FALSE(failing->close());
    EXPECT_FALSE(fs.createFile(dir.file("nofolder/x.bin")));
}

TEST_F(FileSystemChanges, AppendCreatesAMissingFile) {
    EXPECT_TRUE(fs.appendToFile(dir.file("Updater_DebugLog.txt"), "one\r\n"));
    EXPECT_TRUE(fs.appendToFile(dir.file("updater_debuglog.TXT"), "two\r\n"));
    EXPECT_EQ(dir.read("Updater_DebugLog.txt"), QByteArray("one\r\ntwo\r\n"));
    EXPECT_FALSE(fs.appendToFile(dir.file("nofolder/log.txt"), "x"));
}

TEST_F(FileSystemChanges, FoldersAreCreatedOneLevelAndRemovedWhenEmpty) {
    EXPECT_TRUE(fs.createFolder(dir.file("Pelorix")));
    EXPECT_FALSE(fs.createFolder(dir.file("PELORIX")));
    EXPECT_FALSE(fs.createFolder(dir.file("a/b")));
    dir.write("Pelorix/x.txt", "x");
    EXPECT_FALSE(fs.removeEmptyFolder(dir.file("pelorix")));
    EXPECT_TRUE(fs.deleteFile(dir.file("pelorix/X.TXT")));
    EXPECT_TRUE(fs.removeEmptyFolder(dir.file("pelorix")));
    EXPECT_TRUE(namesIn("").isEmpty());
}

// A name beside HVS.exe, and whether it is a temporary that a copy to HVS.exe left.
struct LeftoverName {
    const char* name;
    bool removed;
};

class LeftoverTemporaries : public ::testing::TestWithParam<LeftoverName> {};

TEST_P(LeftoverTemporaries, OnlyTheTemporariesOfTheNamedFileGo) {
    test::TempDir dir;
    PosixFileSystem fs;
    dir.write("app/HVS.exe", "new");
    const QString file = dir.write(QString("app/") + GetParam().name, "left");

    fs.removeLeftoverTemporaries(dir.file("app/hvs.EXE"));

    EXPECT_EQ(!QFile::exists(file), GetParam().removed);
    EXPECT_EQ(dir.read("app/HVS.exe"), QByteArray("new"));
}

INSTANTIATE_TEST_SUITE_P(Names, LeftoverTemporaries,
                         ::testing::Values(LeftoverName{".~HVS.exe.a1B2c3.tmp", true},
                                           LeftoverName{".~hvs.exe.Z9.tmp", true},
                                           LeftoverName{".~HVS.exe.tmp", false},
                                           LeftoverName{".~HVS.exe.a-b.tmp", false},
                                           LeftoverName{".~HVS.exe.a1.bak", false},
                                           LeftoverName{".~PXS.exe.a1.tmp", false},
                                           LeftoverName{"HVS.exe.a1.tmp", false}));

}  // namespace
}  // namespace pelorix::platform
