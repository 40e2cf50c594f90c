#pragma once

#include "i18n/learning_dialog.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelorix::i18n {

// The non-modal dialog in which a translator enters the missing text of a token. It writes
// nothing itself: its buttons only settle what the learning step reads from the boxes.
class LangLernForm : public QDialog, public LearningDialog {
    Q_OBJECT

  public:
    explicit LangLernForm(QWidget* parent = nullptr);

    void show(const Boxes& boxes, const QString& code, const QString& learningLanguage) override;
    bool isOpen() const override { return open_; }
    void processEvents() override;
    Boxes readAndUnload() override;

  public slots:
    // Closing through the title bar or with Escape ends the wait like "Translate Later".
    void reject() override;

  private:
    void createControls();
    void arrangeTabOrder();
    void saveTranslation();
    void translateLater();
    void endWait();
    void unload();

    QPlainTextEdit* tokenBox_ = nullptr;
    QPlainTextEdit* newTextBox_ = nullptr;
    QPlainTextEdit* modelBox_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* laterButton_ = nullptr;
    QLabel* languageLabel_ = nullptr;
    QLabel* learningLanguageLabel_ = nullptr;
    bool open_ = false;
};

}  // namespace pelorix::i18n
