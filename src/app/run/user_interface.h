#pragma once

#include <QString>

#include <functional>

namespace pelorix::app {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };
// The values are the application-wide mouse pointer numbers of the original design.
enum class MousePointer { Default = 0, Wait = 11 };

// Everything the update procedure needs from a front end: the Qt window implements it, and so
// does the console front end of headless runs.
class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // A message box without title of its own and without icon; lines are broken by "\r\n" or "\r".
    virtual MessageAnswer showMessage(const QString& text, MessageButtons buttons) = 0;
    // The status box now holds this whole text; the caret is at its end and scrolled into view.
    virtual void statusTextChanged(const QString& text) = 0;
    virtual void progressChanged(int value, int maximum) = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
    virtual void processEvents() = 0;
    // Paints the window at once, while the procedure keeps the thread busy.
    virtual void repaint() = 0;
    // Runs work that may block for long (a download, a database statement, starting a program)
    // and returns when it is done. A front end that keeps painting meanwhile runs it on a
    // thread of its own and handles no user input until it is done; the work never touches
    // the front end.
    virtual void runBlocking(const std::function<void()>& work) { work(); }
    // The application ends at once (after the main program was started).
    virtual void quit() = 0;
};

// Line breaks of the status box and of message texts ("\r\n" or "\r" alone) as newlines, as
// every front end shows them.
QString withNewlines(const QString& text);

}  // namespace pelorix::app
