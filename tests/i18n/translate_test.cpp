#include "i18n/built_in_texts.h"
#include "i18n/language.h"
#include "platform/file_system.h"
#include "support/expected_texts.h"
#include "support/fake_clock.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorix::i18n {
namespace {

// Lookups in a real language file, without a translator to ask.
class TranslateTest : public ::testing::Test {
  protected:
    void writeLanguageFile(const QString& text) const {
        dir.write("language.ini", test::cp1252(text));
    }
    QString translate(const QString& setting, QString token) {
        Language language(platform::defaultFileSystem(), dir.file("language.ini"), setting, "DE",
                          nullptr, clock);
        const QString text = language.Translate(token);
        EXPECT_EQ(clock.sleeps, 0) << "a lookup without a translator never waits";
        return text;
    }

    test::TempDir dir;
    test::FakeClock clock;
};

const char* const kTwoLanguages =
    "[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n"
    "[Update ausführen]\r\nDE=Update ausführen\r\nEN=Run the/nupdate/n\r\n"
    "[Nur DE]\r\nde=Nur auf Deutsch\r\n";

TEST_F(TranslateTest, ChosenLanguageWithLineBreaks) {
    writeLanguageFile(kTwoLanguages);
    EXPECT_EQ(translate("EN", "Update ausführen"), "Run the\r\nupdate\r\n");
    EXPECT_EQ(translate("DE", "Update ausführen"), "Update ausführen");
    // Section and key names match without regard to case.
    EXPECT_EQ(translate("EN", "update AUSFÜHREN"), "Run the\r\nupdate\r\n");
    EXPECT_EQ(translate("DE", "Nur DE"), "Nur auf Deutsch");
}

TEST_F(TranslateTest, UnsupportedCodeFallsBackToGerman) {
    writeLanguageFile(kTwoLanguages);
    EXPECT_EQ(translate("FR", "Update ausführen"), "Update ausführen");
    // The list is searched as plain text, case-sensitively: "en" is not in "DE,EN".
    EXPECT_EQ(translate("en", "Update ausführen"), "Update ausführen");
    writeLanguageFile(
        "[LanguageSettings]\r\nSupportedLanguages=de en\r\n"
        "[Update ausführen]\r\nDE=Deutsch\r\nEN=English\r\n");
    EXPECT_EQ(translate("EN", "Update ausführen"), "Deutsch");
    EXPECT_EQ(translate("en", "Update ausführen"), "English");
}

TEST_F(TranslateTest, UntranslatedTokenIsMarked) {
    writeLanguageFile(kTwoLanguages);
    EXPECT_EQ(translate("EN", "Nur DE"), "Nur DE!");
    EXPECT_EQ(translate("DE", "Fehler"), "Fehler!");
    // Learn mode without a translator answers like "Translate Later" and stores nothing.
    const QByteArray before = dir.read("language.ini");
    EXPECT_EQ(translate("ENL", "Fehler"), "Fehler!");
    EXPECT_EQ(dir.read("language.ini"), before);
}

TEST_F(TranslateTest, MissingFileMeansGermanWithoutTexts) {
    EXPECT_EQ(translate("EN", "Update ausführen"), "Update ausführen!");
    EXPECT_EQ(translate("enl", "Update ausführen"), "Update ausführen!");
    EXPECT_FALSE(QFile::exists(dir.file("language.ini")));
}

TEST_F(TranslateTest, EmptyTokenGivesEmptyText) {
    writeLanguageFile(kTwoLanguages);
    EXPECT_EQ(translate("EN", ""), "");
    EXPECT_EQ(translate("ENL", ""), "");
}

TEST_F(TranslateTest, FormCaptionsOfTextControlsOnly) {
    writeLanguageFile(kTwoLanguages +
                      QString("[Pelorix Updater]\r\nEN=Pelorix Updater (EN)\r\n"
                              "[Status]\r\nEN=State\r\n[Fortschritt]\r\nEN=Progress\r\n"));
    FormCaptions form{"Pelorix Updater",
                      {{"StartUpdateBT", "CommandButton", "Update ausführen"},
                       {"Label5", "Label", "Status"},
                       {"UpdateDatabaseOnlyCheck", "CheckBox", "nur Datenbank aktualisieren"},
                       {"Frame1", "Frame", "Fortschritt"},
                       {"StatusTB", "TextBox", "Status"},
                       {"ProgressBar1", "ProgressBar", "Fortschritt"},
                       {"Empty", "Label", ""}}};
    Language language(platform::defaultFileSystem(), dir.file("language.ini"), "EN", "DE", nullptr,
                      clock);
    language.TranslateForm(form);
    EXPECT_EQ(form.caption, "Pelorix Updater (EN)");
    EXPECT_EQ(form.captionOf("StartUpdateBT"), "Run the\r\nupdate\r\n");
    EXPECT_EQ(form.captionOf("Label5"), "State");
    EXPECT_EQ(form.captionOf("UpdateDatabaseOnlyCheck"), "nur Datenbank aktualisieren!");
    EXPECT_EQ(form.captionOf("Frame1"), "Progress");
    EXPECT_EQ(form.captionOf("StatusTB"), "Status");
    EXPECT_EQ(form.captionOf("ProgressBar1"), "Fortschritt");
    EXPECT_EQ(form.captionOf("Empty"), "");
}

TEST(FileText, LineBreaksAndSlashN) {
    EXPECT_EQ(fromFileText("a/nb/n"), "a\r\nb\r\n");
    EXPECT_EQ(toFileText("a\r\nb"), "a/nb");
    // Bare breaks would split the entry's line in the file; they are stored as "/n" too.
    EXPECT_EQ(toFileText("a\nb\rc"), "a/nb/nc");
    EXPECT_EQ(toFileText("a\r\r\nb"), "a/n/nb");
}

// The demo installation and its release carry every added text, in the built-in wording.
TEST(BuiltInTexts, AreTheDemoLanguageFilesTexts) {
    for (const BuiltInText& added : kBuiltInTexts) {
        EXPECT_EQ(test::demoEnglishText(added.german.toString()), added.english.toString())
            << added.german.toString().toStdString();
    }
}

}  // namespace
}  // namespace pelorix::i18n
