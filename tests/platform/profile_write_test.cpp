#include "platform/file_system.h"
#include "platform/profile.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>

namespace pelorix::platform {
namespace {

class ProfileWrite : public ::testing::Test {
  protected:
    test::TempDir dir;

    QString file() const { return dir.file("language.ini"); }
    QByteArray onDisk() const { return dir.read("language.ini"); }
    void write(const QString& section, const QString& key, const QString& value) {
        WriteIni(platform::defaultFileSystem(), file(), section, key, value);
    }
};

TEST_F(ProfileWrite, AMissingFileIsCreatedWithWindowsLineEnds) {
    write("LanguageSettings", "SupportedLanguages", "DE,EN");
    EXPECT_EQ(onDisk(), QByteArray("[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n"));
    write("Update ausführen", "EN", "Run update");
    EXPECT_EQ(onDisk(), QByteArray("[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n") +
                            test::cp1252("[Update ausführen]\r\nEN=Run update\r\n"));
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "update AUSFÜHREN", "en", ""),
              "Run update");
}

TEST_F(ProfileWrite, AnExistingKeyChangesInPlaceAndEveryOtherLineStays) {
    const QByteArray before =
        "; Pelorix language file\r\n"
        "[Token]\r\n"
        "DE = alt   \r\n"
        "  ; a comment inside\r\n"
        "EN=old\r\n"
        "de=second match\r\n"
        "\r\n"
        "[Other]\r\n"
        "DE=untouched";
    dir.write("language.ini", before);
    write("token", "de", "neu");
    QByteArray expected = before;
    expected.replace("DE = alt   ", "DE = neu");
    EXPECT_EQ(onDisk(), expected);
    write("TOKEN", "en", "");
    expected.replace("EN=old", "EN=");
    EXPECT_EQ(onDisk(), expected);
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "Token", "EN", "default"), "");
}

TEST_F(ProfileWrite, ANewKeyGoesAfterTheLastKeyOfItsSection) {
    dir.write("language.ini",
              "[First]\nA=1\n; trailing comment\n\n[Second]\nB=2\n\n\n[Empty]\n[Last]\nC=3");
    write("first", "New", "x");
    write("Second", "New", "y");
    write("empty", "New", "z");
    write("LAST", "New", "w");
    EXPECT_EQ(onDisk(), QByteArray("[First]\nA=1\nNew=x\n; trailing comment\n\n"
                                   "[Second]\nB=2\nNew=y\n\n\n"
                                   "[Empty]\nNew=z\n"
                                   "[Last]\nC=3\nNew=w\n"));
}

TEST_F(ProfileWrite, ANewSectionGoesAtTheEndInTheFilesOwnLineEnds) {
    dir.write("language.ini", "[A]\rx=1");
    write("B", "y", "2");
    EXPECT_EQ(onDisk(), QByteArray("[A]\rx=1\r[B]\ry=2\r"));
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "B", "y", ""), "2");
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "A", "x", ""), "1");

    dir.write("language.ini", "only text outside sections\n");
    write("S", "k", "v");
    EXPECT_EQ(onDisk(), QByteArray("only text outside sections\n[S]\nk=v\n"));
}

TEST_F(ProfileWrite, UmlautsAreStoredInWindows1252) {
    write("Größe", "DE", "Ärger über Öl – 5 €");
    EXPECT_EQ(onDisk(), test::cp1252("[Größe]\r\nDE=Ärger über Öl – 5 €\r\n"));
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "GRÖßE", "de", ""),
              "Ärger über Öl – 5 €");
    write("Größe", "JA", "日本");
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), file(), "größe", "JA", ""), "??");
}

TEST_F(ProfileWrite, TheExistingFileIsFoundWithoutRegardToCase) {
    dir.write("Language.ini", "[A]\r\nk=old\r\n");
    write("A", "k", "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Language.ini"});
    EXPECT_EQ(dir.read("Language.ini"), QByteArray("[A]\r\nk=new\r\n"));
}

TEST_F(ProfileWrite, OddContentIsKeptByteForByte) {
    QByteArray before = "\x81\x8D odd bytes before any section\r\n[A]\r\nnul=a";
    before += QByteArray(1, '\0');
    before += "b\r\n[Unclosed\r\n";
    dir.write("language.ini", before);
    write("A", "k", "v");
    EXPECT_EQ(onDisk(), before + "k=v\r\n");
    write("A", "nul", "plain");
    EXPECT_EQ(onDisk(), QByteArray("\x81\x8D odd bytes before any section\r\n[A]\r\nnul=plain\r\n"
                                   "[Unclosed\r\nk=v\r\n"));
}

TEST_F(ProfileWrite, NothingIsWrittenThatWouldCorruptTheFile) {
    dir.write("language.ini", "[A]\r\nk=old\r\n");
    write("A", "k", "two\r\nlines");
    write("A", "k", "injected\n[B]");
    write("A\n[B]", "k", "v");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\nk=old\r\n"));
    // Texts end at a NUL character, as the profile functions take C strings.
    write("A", "k", QString("cut") + QChar(0) + "off");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\nk=cut\r\n"));
}

TEST_F(ProfileWrite, AReadOnlyFileOrAMissingFolderIsLeftAlone) {
    const QString path = dir.write("language.ini", "[A]\r\nk=old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    write("A", "k", "new");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\nk=old\r\n"));
    WriteIni(platform::defaultFileSystem(), dir.file("missing/language.ini"), "A", "k", "v");
    EXPECT_FALSE(QFile::exists(dir.file("missing")));
    dir.mkdir("folder.ini");
    WriteIni(platform::defaultFileSystem(), dir.file("folder.ini"), "A", "k", "v");
    EXPECT_TRUE(QFileInfo(dir.file("folder.ini")).isDir());
}

}  // namespace
}  // namespace pelorix::platform
