#include "platform/file_system.h"
#include "platform/posix/file_system.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>

namespace pelorix::platform {
namespace {

class FileSystemLookup : public ::testing::Test {
  protected:
    test::TempDir dir;
    PosixFileSystem fs;

    QString makeFifo(const QString& name) {
        const QString path = dir.file(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        return path;
    }
};

TEST_F(FileSystemLookup, NamesResolveWithoutRegardToCase) {
    dir.write("App/Language.ini", "from disk");
    EXPECT_EQ(fs.resolve(dir.file("app/language.ini")), dir.file("App/Language.ini"));
    EXPECT_EQ(fs.readFile(dir.file("APP/LANGUAGE.INI")), QByteArray("from disk"));
    EXPECT_TRUE(fs.normalFileExists(dir.file("app/language.ini")));
    // Letters of Windows-1252 fold as well.
    dir.write("Ärger/Größe.TXT", "x");
    EXPECT_EQ(fs.resolve(dir.file("äRGER/gRÖSSE.txt")), dir.file("Ärger/gRÖSSE.txt"));
    EXPECT_EQ(fs.resolve(dir.file("äRGER/grÖße.txt")), dir.file("Ärger/Größe.TXT"));
}

TEST_F(FileSystemLookup, AnExactMatchWins) {
    dir.write("a.txt", "lower");
    dir.write("A.txt", "upper");
    EXPECT_EQ(fs.readFile(dir.file("a.txt")), QByteArray("lower"));
    EXPECT_EQ(fs.readFile(dir.file("A.txt")), QByteArray("upper"));
    // Without an exact match one of the two is taken, the same one every time.
    const QString chosen = fs.resolve(dir.file("a.TXT"));
    EXPECT_TRUE(chosen == dir.file("a.txt") || chosen == dir.file("A.txt"));
    EXPECT_EQ(fs.resolve(dir.file("a.TXT")), chosen);
}

TEST_F(FileSystemLookup, MissingComponentsAreKeptAsGiven) {
    dir.mkdir("Data");
    EXPECT_EQ(fs.resolve(dir.file("data/New.ini")), dir.file("Data/New.ini"));
    EXPECT_EQ(fs.resolve(dir.file("nothing/Data/x")), dir.file("nothing/Data/x"));
    EXPECT_EQ(fs.resolve(dir.file("DATA/")), dir.file("Data/"));
    EXPECT_EQ(fs.resolve("/"), QString("/"));
    EXPECT_EQ(fs.resolve(QString()), QString());
    EXPECT_FALSE(fs.readFile(dir.file("data/New.ini")).has_value());
}

TEST_F(FileSystemLookup, NormalFilesAreRegularAndNotHidden) {
    dir.write("plain.txt", "x");
    dir.write(".hidden", "x");
    dir.mkdir("Folder");
    makeFifo("pipe");
    EXPECT_TRUE(fs.normalFileExists(dir.file("PLAIN.txt")));
    EXPECT_FALSE(fs.normalFileExists(dir.file(".hidden")));
    EXPECT_FALSE(fs.normalFileExists(dir.file("folder")));
    EXPECT_FALSE(fs.normalFileExists(dir.file("pipe")));
    EXPECT_FALSE(fs.normalFileExists(dir.file("missing")));

    EXPECT_TRUE(fs.entryExists(dir.file("folder")));
    EXPECT_TRUE(fs.entryExists(dir.file("plain.txt")));
    EXPECT_FALSE(fs.entryExists(dir.file(".hidden")));
    EXPECT_FALSE(fs.entryExists(dir.file("pipe")));
    EXPECT_FALSE(fs.entryExists(dir.file("missing")));
}

TEST_F(FileSystemLookup, AnyMatchHonoursWildcardsAndCountsEveryKindOfEntry) {
    dir.write("Data/Pelorix.INI", "x");
    dir.write("Data/.secret", "x");
    dir.mkdir("Data/Docs");
    makeFifo("Data/pipe");
    const QString data = dir.file("data/");
    EXPECT_TRUE(fs.anyMatch(data + "*.ini"));
    EXPECT_TRUE(fs.anyMatch(data + "pelorix.???"));
    EXPECT_FALSE(fs.anyMatch(data + "pelorix.??"));
    EXPECT_FALSE(fs.anyMatch(data + "*.xml"));
    EXPECT_TRUE(fs.anyMatch(data + "do*"));
    EXPECT_TRUE(fs.anyMatch(data + ".sec*"));
    EXPECT_TRUE(fs.anyMatch(data + "pi?e"));
    // Without wildcards: any entry, folders, hidden and system files included.
    EXPECT_TRUE(fs.anyMatch(data + "DOCS"));
    EXPECT_TRUE(fs.anyMatch(data + ".secret"));
    EXPECT_TRUE(fs.anyMatch(data + "pipe"));
    EXPECT_FALSE(fs.anyMatch(data + "absent"));
    EXPECT_FALSE(fs.anyMatch(dir.file("nofolder/*")));
    EXPECT_FALSE(fs.anyMatch(dir.file("nofolder/x.ini")));
    EXPECT_FALSE(fs.anyMatch(dir.file("Data/Pelorix.INI/*")));
}

TEST_F(FileSystemLookup, WildcardRulesOfFindFirstFile) {
    dir.write("only/README", "x");
    // "*.*" also matches a name without a dot, "name.*" the bare name.
    EXPECT_TRUE(fs.anyMatch(dir.file("only/*.*")));
    EXPECT_TRUE(fs.anyMatch(dir.file("only/readme.*")));
    EXPECT_FALSE(fs.anyMatch(dir.file("only/read.*")));
    // An empty folder still holds "." and "..", as find-first-file reports them.
    dir.mkdir("empty");
    EXPECT_TRUE(fs.anyMatch(dir.file("empty/*")));
    EXPECT_FALSE(fs.anyMatch(dir.file("empty/*.ini")));
}

TEST_F(FileSystemLookup, ListingIsSortedWithKinds) {
    dir.write("Box/b.txt", "x");
    dir.write("Box/A.txt", "x");
    dir.write("Box/.cfg", "x");
    dir.mkdir("Box/sub");
    makeFifo("Box/pipe");
    const auto entries = fs.list(dir.file("box"));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].name, ".cfg");
    EXPECT_TRUE(entries[0].isHidden);
    EXPECT_EQ(entries[1].name, "A.txt");
    EXPECT_EQ(entries[2].name, "b.txt");
    EXPECT_FALSE(entries[2].isFolder || entries[2].isHidden || entries[2].isSystem);
    EXPECT_EQ(entries[3].name, "pipe");
    EXPECT_TRUE(entries[3].isSystem);
    EXPECT_EQ(entries[4].name, "sub");
    EXPECT_TRUE(entries[4].isFolder);
    EXPECT_FALSE(entries[4].isSystem);
    EXPECT_TRUE(fs.list(dir.file("missing")).empty());
}

TEST_F(FileSystemLookup, ReadingOnlyReadsRegularFiles) {
    makeFifo("pipe");  // opening it for reading would block; it must not
    dir.mkdir("folder");
    EXPECT_FALSE(fs.readFile(dir.file("pipe")).has_value());
    EXPECT_FALSE(fs.readFile(dir.file("folder")).has_value());
    EXPECT_EQ(fs.readFile(dir.write("empty.txt", "")), QByteArray());
    const QByteArray big(300 * 1024, 'z');
    EXPECT_EQ(fs.readFile(dir.write("big.bin", big)), big);
}

TEST_F(FileSystemLookup, ReadOnlyMeansNoWriteBitAtAll) {
    const QString file = dir.write("ro.txt", "x");
    EXPECT_FALSE(fs.isReadOnly(file));
    ::chmod(QFile::encodeName(file).constData(), 0444);
    EXPECT_TRUE(fs.isReadOnly(dir.file("RO.TXT")));
    ::chmod(QFile::encodeName(file).constData(), 0464);
    EXPECT_FALSE(fs.isReadOnly(file));
    EXPECT_FALSE(fs.isReadOnly(dir.mkdir("folder")));
    EXPECT_FALSE(fs.isReadOnly(dir.file("missing")));
}

}  // namespace
}  // namespace pelorix::platform
