#pragma once

#include <QString>

namespace pelorix::i18n {

// The learning dialog as the learning step drives it; the Qt dialog implements it.
class LearningDialog {
  public:
    struct Boxes {
        QString token;  // TokenTB
        QString model;  // LearningLangTB
        QString text;   // NewLangTB
    };

    virtual ~LearningDialog() = default;
    // Shows the dialog without making it modal, filled, with NewLangTB focused and selected.
    virtual void show(const Boxes& boxes, const QString& code, const QString& learningLanguage) = 0;
    // LearningDialogOpen: true until one of the buttons (or closing the window) ends the wait.
    virtual bool isOpen() const = 0;
    virtual void processEvents() = 0;
    // The three boxes as the translator left them; the dialog is unloaded.
    virtual Boxes readAndUnload() = 0;
};

}  // namespace pelorix::i18n
