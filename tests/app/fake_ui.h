#pragma once

#include "support/qt_print.h"

#include "app/run/user_interface.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace pelorix::test {

// A front end that records what the procedure shows and answers message boxes from a script
// (OK, Cancel for the confirmation and Yes/No as scripted; unscripted boxes get the first button).
class FakeUi : public app::UserInterface {
  public:
    struct Message {
        QString text;
        app::MessageButtons buttons;
    };

    app::MessageAnswer showMessage(const QString& text, app::MessageButtons buttons) override;
    void statusTextChanged(const QString& text) override { statusText = text; }
    void progressChanged(int value, int maximum) override {
        progressValue = value;
        progressMaximum = maximum;
    }
    void setMousePointer(app::MousePointer pointer) override { mousePointer = pointer; }
    void processEvents() override;
    void repaint() override { ++repaints; }
    void quit() override { quitRequested = true; }

    // Answers for the next message boxes, in order.
    std::deque<app::MessageAnswer> answers;
    // Runs on every processEvents(), e.g. to change a file while the procedure polls it.
    std::function<void()> onProcessEvents;

    std::vector<Message> messages;
    QString statusText;
    int progressValue = 0;
    int progressMaximum = 0;
    app::MousePointer mousePointer = app::MousePointer::Default;
    int repaints = 0;
    int eventPasses = 0;
    bool quitRequested = false;
};

}  // namespace pelorix::test
