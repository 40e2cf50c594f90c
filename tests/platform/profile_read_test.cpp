#include "platform/file_system.h"
#include "platform/profile.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorix::platform {
namespace {

class ProfileRead : public ::testing::Test {
  protected:
    test::TempDir dir;

    // Writes a profile given in UTF-8 source text as Windows-1252 bytes.
    QString profile(const QString& text) { return dir.write("Pelorix.ini", test::cp1252(text)); }
    QString read(const QString& section, const QString& key,
                 const QString& defaultValue = QStringLiteral("<default>")) {
        return ReadIni(platform::defaultFileSystem(), dir.file("Pelorix.ini"), section, key,
                       defaultValue);
    }
};

TEST_F(ProfileRead, QuotesAndBlanksAroundValuesAreDropped) {
    profile(
        "[Settings]\r\n"
        "  Plain  =  a value with  inner blanks \t \r\n"
        "Double=\"  quoted  \"\r\n"
        "Single='x=1'\r\n"
        "Mixed=\"open'\r\n"
        "Lonely=\"\r\n"
        "Inner=a\"b\"\r\n");
    EXPECT_EQ(read("Settings", "Plain"), "a value with  inner blanks");
    EXPECT_EQ(read("Settings", "Double"), "  quoted  ");
    EXPECT_EQ(read("Settings", "Single"), "x=1");
    EXPECT_EQ(read("Settings", "Mixed"), "\"open'");
    EXPECT_EQ(read("Settings", "Lonely"), "\"");
    EXPECT_EQ(read("Settings", "Inner"), "a\"b\"");
}

TEST_F(ProfileRead, NamesMatchWithoutRegardToCaseAndBlanks) {
    profile(
        "[ Übersetzung ]\r\n"
        "Änderung=Größe\r\n"
        "[ServiceSettings]\r\n"
        "DataBasePath=C:/Daten\r\n");
    EXPECT_EQ(read("übersetzung", "ÄNDERUNG"), "Größe");
    EXPECT_EQ(read("ÜBERSETZUNG ", " änderung"), "Größe");
    EXPECT_EQ(read("servicesettings", "DATABASEPATH"), "C:/Daten");
    EXPECT_EQ(read("Service", "DataBasePath"), "<default>");
}

TEST_F(ProfileRead, TheFirstMatchingSectionAndKeyWin) {
    profile(
        "Language=outside any section\r\n"
        "[settings]\r\n"
        "; Language=commented out\r\n"
        "   ;Language=also commented out\r\n"
        "language=first\r\n"
        "LANGUAGE=second\r\n"
        "[Settings]\r\n"
        "Language=other section\r\n"
        "Extra=only in the second\r\n");
    EXPECT_EQ(read("Settings", "Language"), "first");
    EXPECT_EQ(read("Settings", "Extra"), "<default>");
    EXPECT_EQ(read("Settings", "; Language"), "<default>");
}

TEST_F(ProfileRead, MissingThingsGiveTheDefaultAndEmptyValuesTheEmptyText) {
    EXPECT_EQ(read("Settings", "Language", "EN"), "EN");  // no file at all
    profile("[Settings]\r\nEmpty=\r\nBlank=   \r\nNoEquals\r\nQuotedEmpty=\"\"\r\n");
    EXPECT_EQ(read("Settings", "Empty"), "");
    EXPECT_EQ(read("Settings", "Blank"), "");
    // Windows lists no key for a line without "=" and reads the default for it.
    EXPECT_EQ(read("Settings", "NoEquals"), "<default>");
    EXPECT_EQ(read("Settings", "QuotedEmpty"), "");
    EXPECT_EQ(read("Settings", "Missing", "EN"), "EN");
    EXPECT_EQ(read("Other", "Empty", "EN"), "EN");
    // As the profile functions do, trailing blanks of the default are dropped.
    EXPECT_EQ(read("Other", "Empty", "a b  "), "a b");
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), dir.path(), "Settings", "Empty", "folder"),
              "folder");
}

TEST_F(ProfileRead, ResultsAreCutTo1023Characters) {
    const QString longValue = QString(1500, QChar(u'ä'));
    profile("[Settings]\r\nConnectionstring=" + longValue + "\r\nAfter=yes\r\n");
    EXPECT_EQ(read("Settings", "Connectionstring"), longValue.left(1023));
    EXPECT_EQ(read("Settings", "Missing", longValue), longValue.left(1023));
    EXPECT_EQ(read("Settings", "After"), "yes");
}

TEST_F(ProfileRead, EveryLineEndStyleIsRead) {
    profile("[A]\rkey=cr only\r[B]\nkey=lf only\n[C]\r\nkey=crlf\r\n[D]\n\rkey=lf then cr");
    EXPECT_EQ(read("A", "key"), "cr only");
    EXPECT_EQ(read("B", "key"), "lf only");
    EXPECT_EQ(read("C", "key"), "crlf");
    EXPECT_EQ(read("D", "key"), "lf then cr");
}

TEST_F(ProfileRead, OddContentIsReadWithoutHarm) {
    QByteArray bytes =
        "[Odd]\r\nControl=a\x81\x9D"
        "b\r\nNul=before";
    bytes += QByteArray(1, '\0');
    bytes += "after\r\n[Broken\r\nInBroken=still odd\r\nLong=";
    bytes += QByteArray(2 * 1024 * 1024, 'L');
    bytes += "\r\n[Next]\r\nKey=found\r\n";
    dir.write("Pelorix.ini", bytes);
    EXPECT_EQ(read("Odd", "Control"), QString("a") + QChar(0x81) + QChar(0x9D) + "b");
    EXPECT_EQ(read("Odd", "Nul"), "before");
    // A header without "]" is no header: its lines still belong to the section before.
    EXPECT_EQ(read("Broken", "InBroken"), "<default>");
    EXPECT_EQ(read("Odd", "InBroken"), "still odd");
    EXPECT_EQ(read("Odd", "Long").size(), 1023);
    EXPECT_EQ(read("Next", "Key"), "found");
}

TEST_F(ProfileRead, TheFileNameMatchesWithoutRegardToCase) {
    dir.write("App/Language.ini", test::cp1252("[Update ausführen]\r\nEN=Run update\r\n"));
    EXPECT_EQ(ReadIni(platform::defaultFileSystem(), dir.file("app/language.ini"),
                      "Update ausführen", "en", ""),
              "Run update");
}

}  // namespace
}  // namespace pelorix::platform
