#include "app/status_output.h"

#include "app/debug_log.h"
#include "app/user_interface.h"

namespace pelorix::app {

namespace {
const QString kDots = QStringLiteral("........................................");
const QString kLineBreak = QStringLiteral("\r\n");
}  // namespace

StatusOutput::StatusOutput(FormModel& form, UserInterface& ui, DebugLog& log)
    : form_(form), ui_(ui), log_(log) {}

void StatusOutput::ShowStatus(const QString& text, qint16 mode) {
    if (form_.updateLog) {
        log_.WriteDebugLog(text, "-1");
    }
    recordLine(text, mode);
    if (mode == 2) {
        stepProgress();
        append(text);
        form_.pendingStatusLength = static_cast<qint16>(text.size());
    } else if (mode == 3) {
        stepProgress();
        // A step text and result longer than the line get no dots rather than a broken line.
        const qsizetype dots =
            std::max<qsizetype>(0, kStatusLineWidth - form_.pendingStatusLength - text.size() - 1);
        append(kDots.left(dots) + " " + text + kLineBreak);
    } else if (mode == 1) {
        append(text + kLineBreak);
    }
    ui_.statusTextChanged(form_.statusText);
    ui_.repaint();
}

void StatusOutput::recordLine(const QString& text, qint16 mode) {
    const auto now = std::chrono::steady_clock::now();
    if (mode == 2) {
        stepOpened_ = now;
        stepOpen_ = true;
        lines_.push_back({text, std::nullopt, 0});
    } else if (mode == 3) {
        if (!stepOpen_) {
            stepOpened_ = now;
            lines_.push_back({});  // a result word without an open step
        }
        stepOpen_ = false;
        lines_.back().result = text;
        lines_.back().seconds = std::chrono::duration<double>(now - stepOpened_).count();
    } else if (mode == 1) {
        stepOpen_ = false;
        lines_.push_back({text, std::nullopt, 0});
    }
}

void StatusOutput::clear() {
    lines_.clear();
    stepOpen_ = false;
    form_.statusText.clear();
    ui_.statusTextChanged(form_.statusText);
}

void StatusOutput::setProgressRange(int maximum) {
    form_.progressMaximum = maximum;
    form_.progressValue = 0;
    ui_.progressChanged(form_.progressValue, form_.progressMaximum);
}

void StatusOutput::fillProgress() {
    form_.progressValue = form_.progressMaximum;
    ui_.progressChanged(form_.progressValue, form_.progressMaximum);
}

void StatusOutput::append(const QString& piece) {
    form_.statusText += piece;
}

void StatusOutput::stepProgress() {
    // The bar stops at its maximum instead of running past it.
    form_.progressValue = std::min(form_.progressValue + 1, form_.progressMaximum);
    ui_.progressChanged(form_.progressValue, form_.progressMaximum);
}

}  // namespace pelorix::app
