#pragma once

#include "app/run/form_model.h"
#include "app/run/record.h"

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <vector>

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

    // The lines shown since the box was last cleared, each step with its result and duration.
    const std::vector<StatusLine>& lines() const { return lines_; }

  private:
    void logAndShow(const QString& text);
    void append(const QString& piece);
    void stepProgress();
    void recordClosedStep(const QString& resultWord);

    FormModel& form_;
    UserInterface& ui_;
    DebugLog& log_;
    std::vector<StatusLine> lines_;
    std::chrono::steady_clock::time_point stepOpened_;
    bool stepOpen_ = false;
};

}  // namespace pelorix::app
