#include "i18n/dialog/lang_lern_form.h"

#include "i18n/dialog/form_font.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace pelorix::i18n {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const int kMaxTokenLength = 100;
const QString kUnfilledLanguage = QStringLiteral("DE");

// The dialog was laid out in twips; 15 twips are one pixel at 96 dpi.
QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The edit control breaks lines with "\n"; the language file and its callers use "\r\n".
QString boxText(const QPlainTextEdit* box) {
    return box->toPlainText().replace('\n', kLineBreak);
}

bool isStorableToken(const QString& token) {
    return !token.contains(kLineBreak) && token.size() <= kMaxTokenLength;
}

}  // namespace

LangLernForm::LangLernForm(QWidget* parent) : QDialog(parent) {
    setObjectName("LangLernForm");
    setWindowTitle("Language Lerning");
    setFixedSize(8355 / 15, 6030 / 15);
    setModal(false);
    // Closing this dialog must never end the program, even when no other window shows yet.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(formFont(false));
    createControls();
    arrangeTabOrder();
    unload();
}

void LangLernForm::createControls() {
    auto label = [this](const char* name, const QString& text, QRect geometry, bool bold) {
        auto* created = new QLabel(text, this);
        created->setObjectName(name);
        created->setFont(formFont(bold));
        // The stand-in of MS Sans Serif can be a pixel wider; the caption grows into the free
        // space to its right rather than lose its last letter.
        const QFontMetrics metrics = created->fontMetrics();
        geometry.setWidth(std::max({geometry.width(), metrics.horizontalAdvance(text),
                                    metrics.boundingRect(text).right() + 1}));
        created->setGeometry(geometry);
        return created;
    };
    auto box = [this](const char* name, QRect geometry) {
        auto* created = new QPlainTextEdit(this);
        created->setObjectName(name);
        created->setGeometry(geometry);
        created->setTabChangesFocus(true);
        return created;
    };
    auto button = [this](const char* name, const QString& text, QRect geometry) {
        auto* created = new QPushButton(text, this);
        created->setObjectName(name);
        created->setGeometry(geometry);
        return created;
    };

    label("Label1", "Token", fromTwips(120, 180, 735, 255), false);
    tokenBox_ = box("TokenTB", fromTwips(120, 420, 7995, 1335));
    newTextBox_ = box("NewLangTB", fromTwips(120, 3900, 7995, 1335));
    saveButton_ = button("SaveTranslationBT", "&Save Translation", fromTwips(120, 5460, 2235, 375));
    laterButton_ = button("TranslateLaterBT", "Translate Later", fromTwips(5940, 5460, 2235, 375));
    label("Label2", "Text for new Language:", fromTwips(120, 3660, 1695, 255), false);
    languageLabel_ = label("LanguageLBL", kUnfilledLanguage, fromTwips(1980, 3660, 975, 255), true);
    modelBox_ = box("LearningLangTB", fromTwips(60, 2160, 7995, 1335));
    label("Label3", "Text in Learning Language:", fromTwips(120, 1920, 1995, 255), false);
    learningLanguageLabel_ =
        label("LearningLanguageLBL", kUnfilledLanguage, fromTwips(2280, 1920, 975, 255), true);

    connect(saveButton_, &QPushButton::clicked, this, &LangLernForm::saveTranslation);
    connect(laterButton_, &QPushButton::clicked, this, &LangLernForm::translateLater);
}

// Labels take no focus; the focusable controls follow their tab indexes.
void LangLernForm::arrangeTabOrder() {
    QWidget::setTabOrder(tokenBox_, newTextBox_);
    QWidget::setTabOrder(newTextBox_, saveButton_);
    QWidget::setTabOrder(saveButton_, laterButton_);
    QWidget::setTabOrder(laterButton_, modelBox_);
}

void LangLernForm::show(const Boxes& boxes, const QString& code, const QString& learningLanguage) {
    QDialog::show();
    raise();
    activateWindow();
    tokenBox_->setPlainText(boxes.token);
    modelBox_->setPlainText(boxes.model);
    newTextBox_->setPlainText(boxes.text);
    languageLabel_->setText(code);
    learningLanguageLabel_->setText(learningLanguage);
    // Typing replaces the proposed text at once.
    newTextBox_->setFocus();
    newTextBox_->selectAll();
    open_ = true;
}

void LangLernForm::processEvents() {
    QApplication::processEvents();
}

LearningDialog::Boxes LangLernForm::readAndUnload() {
    Boxes boxes{boxText(tokenBox_), boxText(modelBox_), boxText(newTextBox_)};
    unload();
    return boxes;
}

void LangLernForm::saveTranslation() {
    if (!isStorableToken(boxText(tokenBox_))) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                        "The token can be 100 character max. and must not have a linefeed!\n"
                        "The entry will be cancelled.",
                        QMessageBox::Ok, this);
        box.exec();
        // An empty new text tells the learning step to store nothing.
        newTextBox_->clear();
    }
    endWait();
}

void LangLernForm::translateLater() {
    newTextBox_->clear();
    endWait();
}

void LangLernForm::reject() {
    translateLater();
}

void LangLernForm::endWait() {
    open_ = false;
    hide();
}

// Nothing of one use survives into the next.
void LangLernForm::unload() {
    hide();
    open_ = false;
    tokenBox_->clear();
    modelBox_->clear();
    newTextBox_->clear();
    languageLabel_->setText(kUnfilledLanguage);
    learningLanguageLabel_->setText(kUnfilledLanguage);
}

}  // namespace pelorix::i18n
