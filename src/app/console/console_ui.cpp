#include "app/console/console_ui.h"

#include "platform/terminal.h"

#include <QCoreApplication>

namespace pelorix::app {

namespace {

bool isControlCharacter(QChar c) {
    const char16_t code = c.unicode();
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

}  // namespace

QString withoutControlCharacters(const QString& text) {
    QString filtered = text;
    for (QChar& c : filtered) {
        if (c != u'\n' && isControlCharacter(c)) {
            c = QChar::ReplacementCharacter;
        }
    }
    return filtered;
}

// Output to a file or a pipe stays exactly as shown, for the programs that read it.
void ConsoleUi::write(const QString& text, FILE* file) {
    const bool terminal = platform::isTerminal(file);
    std::fputs((terminal ? withoutControlCharacters(text) : text).toUtf8().constData(), file);
    std::fflush(file);
}

ConsoleUi::ConsoleUi(bool confirm, bool startMainProgram, FILE* out, FILE* err)
    : confirm_(confirm), startMainProgram_(startMainProgram), out_(out), err_(err) {}

MessageAnswer ConsoleUi::showMessage(const QString& text, MessageButtons buttons) {
    write(withNewlines(text) + "\n\n", err_);
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
        write(withNewlines(added), out_);
    }
}

void ConsoleUi::processEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace pelorix::app
