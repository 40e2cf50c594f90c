#pragma once

#include "app/form_model.h"

#include <QString>
#include <QtGlobal>

namespace pelorix::app {

class DebugLog;
class UserInterface;

inline constexpr int kStatusLineWidth = 40;

// The status box and the progress bar: 40-column step lines with their result words.
class StatusOutput {
  public:
    StatusOutput(FormModel& form, UserInterface& ui, DebugLog& log);

    // The three ways of the original ShowStatus(text, mode): mode 1 is showLine, 2 openStep,
    // 3 closeStep. Each writes the text to the debug log when "UpdateLog" is on, and repaints.

    // A whole line of its own.
    void showLine(const QString& text);
    // Opens a step line with its text; the dots and the result word come with closeStep().
    void openStep(const QString& text);
    // Closes the open step line with its result word ("OK", "Fehler"), 40 columns wide.
    void closeStep(const QString& resultWord);

    void clear();
    void setProgressRange(int maximum);
    void fillProgress();

  private:
    void logAndShow(const QString& text);
    void append(const QString& piece);
    void stepProgress();

    FormModel& form_;
    UserInterface& ui_;
    DebugLog& log_;
};

}  // namespace pelorix::app
