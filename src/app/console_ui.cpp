#include "app/console_ui.h"

#include <QCoreApplication>

namespace pelorix::app {

QString withNewlines(const QString& text) {
    QString converted = text;
    converted.replace("\r\n", "\n");
    converted.replace('\r', '\n');
    return converted;
}

ConsoleUi::ConsoleUi(bool confirm, bool startMainProgram, FILE* out, FILE* err)
    : confirm_(confirm), startMainProgram_(startMainProgram), out_(out), err_(err) {}

MessageAnswer ConsoleUi::showMessage(const QString& text, MessageButtons buttons) {
    std::fputs((withNewlines(text) + "\n\n").toUtf8().constData(), err_);
    std::fflush(err_);
    switch (buttons) {
        case MessageButtons::OkCancel:
            return confirm_ ? MessageAnswer::Ok : MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return startMainProgram_ ? MessageAnswer::Yes : MessageAnswer::No;
        case MessageButtons::Ok:
            break;
    }
    return MessageAnswer::Ok;
}

void ConsoleUi::statusTextChanged(const QString& text) {
    // The box only grows during a run; when it was cleared, printing starts afresh.
    if (!text.startsWith(printed_)) {
        printed_.clear();
    }
    const QString added = text.mid(printed_.size());
    printed_ = text;
    if (!added.isEmpty()) {
        std::fputs(withNewlines(added).toUtf8().constData(), out_);
        std::fflush(out_);
    }
}

void ConsoleUi::processEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace pelorix::app
