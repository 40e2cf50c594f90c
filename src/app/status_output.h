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

    // Mode 1: a whole line; 2: open a step line; 3: close it with a result word.
    void ShowStatus(const QString& text, qint16 mode);

    void clear();
    void setProgressRange(int maximum);
    void fillProgress();

  private:
    void append(const QString& piece);
    void stepProgress();

    FormModel& form_;
    UserInterface& ui_;
    DebugLog& log_;
};

}  // namespace pelorix::app
