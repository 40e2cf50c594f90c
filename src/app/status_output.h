#pragma once

#include "app/form_model.h"
#include "app/run_record.h"

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

    // Mode 1: a whole line; 2: open a step line; 3: close it with a result word.
    void ShowStatus(const QString& text, qint16 mode);

    void clear();
    void setProgressRange(int maximum);
    void fillProgress();

    // The lines shown since the box was last cleared, each step with its result and duration.
    const std::vector<StatusLine>& lines() const { return lines_; }

  private:
    void append(const QString& piece);
    void stepProgress();

    FormModel& form_;
    UserInterface& ui_;
    void recordLine(const QString& text, qint16 mode);

    DebugLog& log_;
    std::vector<StatusLine> lines_;
    std::chrono::steady_clock::time_point stepOpened_;
    bool stepOpen_ = false;
};

}  // namespace pelorix::app
