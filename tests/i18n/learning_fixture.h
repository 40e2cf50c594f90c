#pragma once

#include "i18n/dialog/lang_lern_form.h"
#include "i18n/language.h"
#include "platform/clock.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QMessageBox>
#include <QTimer>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelorix::test {

// Sleeps really but briefly, so that the dialog's timers run while the learning step waits;
// a wait that never ends fails the test instead of hanging it.
class BriefClock : public platform::Clock {
  public:
    int secondsSinceMidnight() const override;
    std::chrono::steady_clock::time_point monotonicNow() const override;
    void sleepFor(std::chrono::milliseconds duration) override;

    int sleeps = 0;
};

// What a message box showed; it is answered with OK as soon as it is the active modal window.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer();

    int shown = 0;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

  private:
    void answer();

    QTimer timer_;
};

// A language file in a scratch folder and the real learning dialog, driven from inside the wait.
class LearningTest : public ::testing::Test {
  protected:
    QString languageFile() const { return dir.file("language.ini"); }
    void writeLanguageFile(const QString& text) const;
    QByteArray languageFileBytes() const { return dir.read("language.ini"); }
    QString stored(const QString& section, const QString& key) const;

    // learningLanguage is the model language of the learning step.
    i18n::Language language(const QString& setting, const QString& learningLanguage = "DE");

    // Runs once the dialog is open, while the learning step waits.
    void whenAsked(std::function<void()> act);
    int timesAsked() const { return asked_; }

    QPlainTextEdit* tokenBox();
    QPlainTextEdit* modelBox();
    QPlainTextEdit* newTextBox();
    QLabel* label(const char* name);
    QPushButton* button(const char* name);

    // Replaces the whole text of a box as a translator would.
    static void retype(QPlainTextEdit* box, const QString& text);
    void click(const char* buttonName);

    TempDir dir;
    BriefClock clock;
    i18n::LangLernForm dialog;

  private:
    int asked_ = 0;
};

}  // namespace pelorix::test
