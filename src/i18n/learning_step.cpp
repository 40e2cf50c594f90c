#include "i18n/language.h"
#include "i18n/learning_dialog.h"
#include "platform/clock.h"
#include "platform/profile.h"

namespace pelorix::i18n {

// Asks the translator for the text of a token that has none in the chosen language, and
// stores what was entered at once so that the next lookup finds it.
QString Language::learn(const QString& code, QString& token) {
    if (dialog_ == nullptr) {
        return {};  // no one to ask: as if "Translate Later" was pressed
    }
    if (dialog_->isOpen()) {
        // A lookup from an event handled during the wait must not refill the dialog under the
        // translator's hands; it is asked again at its next use.
        return {};
    }
    QString model = fromFileText(texts_.read(token, learningLanguage_, ""));
    if (model.isEmpty()) {
        model = token;
    }
    dialog_->show({token, model, token}, code, learningLanguage_);
    while (dialog_->isOpen()) {
        dialog_->processEvents();
        clock_.sleepFor(std::chrono::milliseconds(100));
    }
    const LearningDialog::Boxes boxes = dialog_->readAndUnload();
    token = boxes.token;
    if (!boxes.token.isEmpty() && !boxes.text.isEmpty()) {
        if (!boxes.model.isEmpty()) {
            platform::WriteIni(files_, languageFile_, boxes.token, learningLanguage_,
                               toFileText(boxes.model));
        }
        platform::WriteIni(files_, languageFile_, boxes.token, code, toFileText(boxes.text));
    }
    return boxes.text;
}

}  // namespace pelorix::i18n
