#include "i18n/learning_fixture.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace pelorix::test {
namespace {

const char* const kLanguages = "[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n";

// What the learning step stores after the translator has answered.
class LearningStepTest : public LearningTest {
  protected:
    LearningStepTest() { writeLanguageFile(kLanguages); }
};

TEST_F(LearningStepTest, TranslateLaterStoresNothing) {
    i18n::Language english = language("ENL");
    QString token = "Update ausführen";
    whenAsked([&] {
        retype(tokenBox(), "Geändert");
        QTest::keyClicks(newTextBox(), "Run update");
        click("TranslateLaterBT");
    });
    EXPECT_EQ(english.Translate(token), "Geändert!");
    EXPECT_EQ(token, "Geändert");
    EXPECT_EQ(languageFileBytes(), QByteArray(kLanguages));
}

TEST_F(LearningStepTest, EmptiedNewTextStoresNothing) {
    i18n::Language english = language("ENL");
    QString token = "Update ausführen";
    whenAsked([&] {
        retype(newTextBox(), "");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Update ausführen!");
    EXPECT_EQ(languageFileBytes(), QByteArray(kLanguages));
}

TEST_F(LearningStepTest, SavedTranslationIsFoundWithoutAskingAgain) {
    i18n::Language english = language("ENL");
    QString token = "Update ausführen";
    whenAsked([&] {
        QTest::keyClicks(newTextBox(), "Run update");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Run update");
    EXPECT_EQ(token, "Update ausführen");
    EXPECT_EQ(stored("Update ausführen", "EN"), "Run update");
    EXPECT_TRUE(languageFileBytes().contains(cp1252("[Update ausführen]\r\n")));

    const int sleepsBefore = clock.sleeps;
    EXPECT_EQ(english.Translate(token), "Run update");
    EXPECT_EQ(clock.sleeps, sleepsBefore);
    EXPECT_EQ(timesAsked(), 1);
}

TEST_F(LearningStepTest, EditedTokenIsStoredUnderItsNewSection) {
    i18n::Language english = language("ENL");
    QString token = "Updat ausführen";
    whenAsked([&] {
        retype(tokenBox(), "Update ausführen");
        QTest::keyClicks(newTextBox(), "Run update");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Run update");
    EXPECT_EQ(token, "Update ausführen");
    EXPECT_EQ(stored("Update ausführen", "EN"), "Run update");
    // The model text proposed was the token as it came, and it is stored as it was left.
    EXPECT_EQ(stored("Update ausführen", "DE"), "Updat ausführen");
    EXPECT_EQ(stored("Updat ausführen", "EN"), "(none)");
    EXPECT_EQ(stored("Updat ausführen", "DE"), "(none)");
}

TEST_F(LearningStepTest, TwoLineTextIsStoredWithSlashN) {
    i18n::Language english = language("ENL");
    QString token = "Dienste beenden";
    whenAsked([&] {
        QTest::keyClicks(newTextBox(), "Stop the");
        QTest::keyClick(newTextBox(), Qt::Key_Return);
        QTest::keyClicks(newTextBox(), "services");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Stop the\r\nservices");
    EXPECT_TRUE(languageFileBytes().contains("EN=Stop the/nservices\r\n"));

    const int sleepsBefore = clock.sleeps;
    const QString readBack = english.Translate(token);
    EXPECT_EQ(readBack, "Stop the\r\nservices");
    EXPECT_EQ(readBack.split("\r\n").size(), 2);
    EXPECT_EQ(clock.sleeps, sleepsBefore);
}

TEST_F(LearningStepTest, ModelLanguageEntryIsWritten) {
    i18n::Language english = language("ENL");
    QString token = "Fehler";
    whenAsked([&] {
        EXPECT_EQ(modelBox()->toPlainText(), "Fehler");
        QTest::keyClicks(newTextBox(), "Error");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Error");
    // Without an entry in the model language, the token became that entry.
    EXPECT_EQ(stored("Fehler", "DE"), "Fehler");

    writeLanguageFile(QString(kLanguages) + "[Dienste]\r\nDE=Alle/nDienste\r\n");
    token = "Dienste";
    whenAsked([&] {
        EXPECT_EQ(modelBox()->toPlainText(), "Alle\nDienste");
        modelBox()->moveCursor(QTextCursor::End);
        QTest::keyClick(modelBox(), Qt::Key_Return);
        QTest::keyClicks(modelBox(), "anhalten");
        QTest::keyClicks(newTextBox(), "Services");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Services");
    EXPECT_TRUE(languageFileBytes().contains("DE=Alle/nDienste/nanhalten\r\n"));
}

TEST_F(LearningStepTest, ModelLanguageIsTheLearningLanguage) {
    writeLanguageFile(QString(kLanguages) + "[Fehler]\r\nEN=Error\r\n");
    i18n::Language french = language("frl", "EN");
    QString token = "Fehler";
    // "fr" is not in the list: German is learned, with English as the model.
    whenAsked([&] {
        EXPECT_EQ(label("LanguageLBL")->text(), "DE");
        EXPECT_EQ(label("LearningLanguageLBL")->text(), "EN");
        EXPECT_EQ(modelBox()->toPlainText(), "Error");
        retype(newTextBox(), "Fehler aufgetreten");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(french.Translate(token), "Fehler aufgetreten");
    EXPECT_EQ(stored("Fehler", "DE"), "Fehler aufgetreten");
    EXPECT_EQ(stored("Fehler", "EN"), "Error");
}

TEST_F(LearningStepTest, MissingFileAsksForEveryTokenAndIsCreated) {
    QFile::remove(languageFile());
    i18n::Language learning = language("ENL");
    QString first = "Update ausführen";
    whenAsked([&] {
        EXPECT_EQ(label("LanguageLBL")->text(), "DE");
        click("TranslateLaterBT");
    });
    EXPECT_EQ(learning.Translate(first), "Update ausführen!");
    QString second = "Status";
    whenAsked([&] {
        retype(newTextBox(), "Zustand");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(learning.Translate(second), "Zustand");
    EXPECT_EQ(timesAsked(), 2);
    EXPECT_EQ(languageFileBytes(), QByteArray("[Status]\r\nDE=Zustand\r\n"));
}

TEST_F(LearningStepTest, LearnFlagIsTheThirdLetterOnly) {
    i18n::Language notLearning = language("ENX");
    QString token = "Update ausführen";
    EXPECT_EQ(notLearning.Translate(token), "Update ausführen!");
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_FALSE(dialog.isVisible());
}

// A language file of an older updater lacks the texts added since: German and English come
// from the program, unmarked and without a question; a translator of another language is asked,
// and meanwhile that language gets English.
struct AddedTextCase {
    const char* setting;
    const char* shown;
    int asked;
};

void PrintTo(const AddedTextCase& added, std::ostream* out) {
    *out << added.setting;
}

class AddedTextTest : public LearningTest, public ::testing::WithParamInterface<AddedTextCase> {};

TEST_P(AddedTextTest, MissingFromTheLanguageFileIsShownWithoutAMark) {
    writeLanguageFile("[LanguageSettings]\r\nSupportedLanguages=DE,EN,FR\r\n");
    i18n::Language chosen = language(GetParam().setting);
    QString token = "Das Update wurde unterbrochen.";
    if (GetParam().asked > 0) {
        whenAsked([&] { click("TranslateLaterBT"); });
    }

    EXPECT_EQ(chosen.Translate(token), GetParam().shown);
    EXPECT_EQ(timesAsked(), GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(Languages, AddedTextTest,
                         ::testing::Values(AddedTextCase{"DE", "Das Update wurde unterbrochen.", 0},
                                           AddedTextCase{"DEL", "Das Update wurde unterbrochen.",
                                                         0},
                                           AddedTextCase{"EN", "The update was interrupted.", 0},
                                           AddedTextCase{"ENL", "The update was interrupted.", 0},
                                           AddedTextCase{"IT", "Das Update wurde unterbrochen.", 0},
                                           AddedTextCase{"FR", "The update was interrupted.", 0},
                                           AddedTextCase{"FRL", "The update was interrupted.", 1}),
                         [](const auto& testCase) { return std::string(testCase.param.setting); });

// The language file's own text wins over the built-in one.
TEST_F(LearningStepTest, AnAddedTextInTheLanguageFileIsTheFilesText) {
    writeLanguageFile(QString(kLanguages) +
                      "[Das Update wurde unterbrochen.]\r\nEN=Stopped half way.\r\n");
    QString token = "Das Update wurde unterbrochen.";
    EXPECT_EQ(language("ENL").Translate(token), "Stopped half way.");
    EXPECT_EQ(timesAsked(), 0);
}

}  // namespace
}  // namespace pelorix::test
