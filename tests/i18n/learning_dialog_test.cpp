#include "i18n/learning_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace pelorix::test {
namespace {

const char* const kRefusal =
    "The token can be 100 character max. and must not have a linefeed!\n"
    "The entry will be cancelled.";

class LearningDialogTest : public LearningTest {
  protected:
    LearningDialogTest() {
        writeLanguageFile(
            "[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n"
            "[Datei fehlt]\r\nDE=Die Datei/nfehlt\r\n");
    }
};

TEST_F(LearningDialogTest, OpensFilledWithTheProposalSelected) {
    i18n::Language english = language("ENL");
    QString token = "Datei fehlt";
    whenAsked([&] {
        EXPECT_EQ(dialog.windowTitle(), "Language Lerning");
        EXPECT_FALSE(dialog.isModal());
        EXPECT_EQ(dialog.size(), QSize(557, 402));
        EXPECT_EQ(tokenBox()->toPlainText(), "Datei fehlt");
        // The model text's "/n" is a line break of the box.
        EXPECT_EQ(modelBox()->document()->blockCount(), 2);
        EXPECT_EQ(modelBox()->toPlainText(), "Die Datei\nfehlt");
        EXPECT_EQ(label("LanguageLBL")->text(), "EN");
        EXPECT_EQ(label("LearningLanguageLBL")->text(), "DE");
        EXPECT_TRUE(label("LanguageLBL")->font().bold());
        EXPECT_FALSE(label("Label2")->font().bold());
        EXPECT_EQ(button("SaveTranslationBT")->text(), "&Save Translation");
        EXPECT_EQ(dialog.focusWidget(), newTextBox());
        EXPECT_EQ(newTextBox()->textCursor().selectedText(), "Datei fehlt");
        // Typing replaces the proposed token.
        QTest::keyClicks(newTextBox(), "File missing");
        EXPECT_EQ(newTextBox()->toPlainText(), "File missing");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "File missing");
    EXPECT_EQ(timesAsked(), 1);
    // Unloaded: hidden, and nothing of this use is left for the next.
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(tokenBox()->toPlainText(), "");
    EXPECT_EQ(modelBox()->toPlainText(), "");
    EXPECT_EQ(newTextBox()->toPlainText(), "");
    EXPECT_EQ(label("LanguageLBL")->text(), "DE");
    EXPECT_EQ(label("LearningLanguageLBL")->text(), "DE");
}

// MS Sans Serif is missing here: its metric-compatible stand-in keeps every caption whole.
TEST_F(LearningDialogTest, EveryLabelShowsItsWholeCaption) {
    for (const char* name : {"Label1", "Label2", "Label3", "LanguageLBL", "LearningLanguageLBL"}) {
        const QLabel* shown = label(name);
        const QFontMetrics metrics = shown->fontMetrics();
        EXPECT_LE(metrics.horizontalAdvance(shown->text()), shown->width()) << name;
        EXPECT_LT(metrics.boundingRect(shown->text()).right(), shown->width()) << name;
    }
}

TEST_F(LearningDialogTest, TabMovesThroughBoxesAndButtonsInOrder) {
    QStringList order;
    QWidget* widget = tokenBox();
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != tokenBox());
    EXPECT_EQ(order, QStringList({"TokenTB", "NewLangTB", "SaveTranslationBT", "TranslateLaterBT",
                                  "LearningLangTB"}));
    // Tab leaves a box instead of typing a tab character.
    EXPECT_TRUE(tokenBox()->tabChangesFocus());
    EXPECT_TRUE(newTextBox()->tabChangesFocus());
    EXPECT_TRUE(modelBox()->tabChangesFocus());
}

TEST_F(LearningDialogTest, TokenOfHundredCharactersIsAcceptedNotMore) {
    MessageBoxAnswerer messages;
    i18n::Language english = language("ENL");
    const QString hundred(100, u'ä');
    QString token = "Datei fehlt";
    whenAsked([&] {
        retype(tokenBox(), hundred);
        QTest::keyClicks(newTextBox(), "Long one");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Long one");
    EXPECT_EQ(token, hundred);
    EXPECT_EQ(stored(hundred, "EN"), "Long one");
    EXPECT_EQ(messages.shown, 0);

    const QByteArray before = languageFileBytes();
    const QString hundredAndOne = hundred + "x";
    token = "Datei fehlt";
    whenAsked([&] {
        retype(tokenBox(), hundredAndOne);
        QTest::keyClicks(newTextBox(), "Too long");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), hundredAndOne + "!");
    EXPECT_EQ(token, hundredAndOne);
    EXPECT_EQ(messages.shown, 1);
    EXPECT_EQ(messages.text, kRefusal);
    EXPECT_EQ(messages.buttons, QMessageBox::Ok);
    EXPECT_EQ(messages.icon, QMessageBox::NoIcon);
    EXPECT_EQ(languageFileBytes(), before);
}

TEST_F(LearningDialogTest, TypedLineBreakInTokenIsRefused) {
    MessageBoxAnswerer messages;
    i18n::Language english = language("ENL");
    const QByteArray before = languageFileBytes();
    QString token = "Datei fehlt";
    whenAsked([&] {
        tokenBox()->moveCursor(QTextCursor::End);
        QTest::keyClick(tokenBox(), Qt::Key_Return);
        QTest::keyClicks(tokenBox(), "jetzt");
        QTest::keyClicks(newTextBox(), "File missing");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "Datei fehlt\r\njetzt!");
    EXPECT_EQ(token, "Datei fehlt\r\njetzt");
    EXPECT_EQ(messages.shown, 1);
    EXPECT_EQ(messages.text, kRefusal);
    EXPECT_EQ(languageFileBytes(), before);
}

TEST_F(LearningDialogTest, ClosingTheWindowEndsTheWaitLikeTranslateLater) {
    i18n::Language english = language("ENL");
    const QByteArray before = languageFileBytes();
    QString token = "Datei fehlt";
    whenAsked([&] {
        QTest::keyClicks(newTextBox(), "File missing");
        EXPECT_TRUE(dialog.close());
    });
    EXPECT_EQ(english.Translate(token), "Datei fehlt!");
    EXPECT_FALSE(dialog.isVisible());

    whenAsked([&] {
        QTest::keyClicks(newTextBox(), "File missing");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(english.Translate(token), "Datei fehlt!");
    EXPECT_EQ(timesAsked(), 2);
    EXPECT_EQ(token, "Datei fehlt");
    EXPECT_EQ(languageFileBytes(), before);
}

TEST_F(LearningDialogTest, LookupDuringTheWaitLeavesTheDialogAlone) {
    i18n::Language english = language("ENL");
    QString token = "Datei fehlt";
    QString nestedText;
    whenAsked([&] {
        QTest::keyClicks(newTextBox(), "File missing");
        QString other = "Fehler";
        nestedText = english.Translate(other);
        EXPECT_EQ(tokenBox()->toPlainText(), "Datei fehlt");
        EXPECT_EQ(newTextBox()->toPlainText(), "File missing");
        click("SaveTranslationBT");
    });
    EXPECT_EQ(english.Translate(token), "File missing");
    EXPECT_EQ(nestedText, "Fehler!");
    EXPECT_EQ(stored("Fehler", "EN"), "(none)");
    EXPECT_EQ(stored("Datei fehlt", "EN"), "File missing");
}

}  // namespace
}  // namespace pelorix::test
