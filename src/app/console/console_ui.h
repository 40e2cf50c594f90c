#pragma once

#include "app/run/user_interface.h"

#include <QString>

#include <cstdio>

namespace pelorix::app {

// The front end of headless runs: the status box goes to standard output as it grows, each
// message box to standard error, answered at once.
class ConsoleUi : public UserInterface {
  public:
    ConsoleUi(bool confirm, bool startMainProgram, FILE* out = stdout, FILE* err = stderr);

    MessageAnswer showMessage(const QString& text, MessageButtons buttons) override;
    void statusTextChanged(const QString& text) override;
    void progressChanged(int, int) override {}
    void setMousePointer(MousePointer) override {}
    void processEvents() override;
    void repaint() override {}
    void quit() override { quitRequested_ = true; }

    bool quitRequested() const { return quitRequested_; }

  private:
    // Writes the text; to a terminal without control characters.
    static void write(const QString& text, FILE* file);

    bool confirm_;
    bool startMainProgram_;
    FILE* out_;
    FILE* err_;
    QString printed_;
    bool quitRequested_ = false;
};

// Every control character but the newline replaced by U+FFFD: text from the language file must
// not reach a terminal as escape sequences it would execute.
QString withoutControlCharacters(const QString& text);

}  // namespace pelorix::app
