#include "i18n/learning_fixture.h"

#include "platform/file_system.h"
#include "platform/profile.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <stdexcept>
#include <thread>

namespace pelorix::test {

namespace {
// About five seconds of waiting passes; a dialog nobody answers ends the test long before a hang.
const int kMaxSleeps = 5000;
}  // namespace

int BriefClock::secondsSinceMidnight() const {
    return platform::systemClock().secondsSinceMidnight();
}

std::chrono::steady_clock::time_point BriefClock::monotonicNow() const {
    return std::chrono::steady_clock::now();
}

void BriefClock::sleepFor(std::chrono::milliseconds) {
    if (++sleeps > kMaxSleeps) {
        throw std::runtime_error("the learning step is still waiting");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

MessageBoxAnswerer::MessageBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(5);
}

void MessageBoxAnswerer::answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
        return;
    }
    ++shown;
    text = box->text();
    buttons = box->standardButtons();
    icon = box->icon();
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}

void LearningTest::writeLanguageFile(const QString& text) const {
    dir.write("language.ini", cp1252(text));
}

QString LearningTest::stored(const QString& section, const QString& key) const {
    return platform::ReadIni(platform::defaultFileSystem(), languageFile(), section, key, "(none)");
}

i18n::Language LearningTest::language(const QString& setting, const QString& learningLanguage) {
    return i18n::Language(platform::defaultFileSystem(), languageFile(), setting, learningLanguage,
                          &dialog, clock);
}

void LearningTest::whenAsked(std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [this, act] {
        if (!dialog.isOpen() || !dialog.isVisible()) {
            ADD_FAILURE() << "the learning dialog is not open";
            return;
        }
        ++asked_;
        act();
    });
}

QPlainTextEdit* LearningTest::tokenBox() {
    return dialog.findChild<QPlainTextEdit*>("TokenTB");
}

QPlainTextEdit* LearningTest::modelBox() {
    return dialog.findChild<QPlainTextEdit*>("LearningLangTB");
}

QPlainTextEdit* LearningTest::newTextBox() {
    return dialog.findChild<QPlainTextEdit*>("NewLangTB");
}

QLabel* LearningTest::label(const char* name) {
    return dialog.findChild<QLabel*>(name);
}

QPushButton* LearningTest::button(const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

void LearningTest::retype(QPlainTextEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    // Key events carry ASCII only; the rest comes in as a paste would.
    box->insertPlainText(text);
}

void LearningTest::click(const char* buttonName) {
    QTest::mouseClick(button(buttonName), Qt::LeftButton);
}

}  // namespace pelorix::test
