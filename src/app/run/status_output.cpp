#include "app/run/status_output.h"

#include "app/run/debug_log.h"
#include "app/run/user_interface.h"

namespace pelorix::app {

namespace {
const QString kDots = QStringLiteral("........................................");
const QString kLineBreak = QStringLiteral("\r\n");
}  // namespace

StatusOutput::StatusOutput(FormModel& form, UserInterface& ui, DebugLog& log)
    : form_(form), ui_(ui), log_(log) {}

void StatusOutput::showLine(const QString& text) {
    stepOpen_ = false;
    lines_.push_back({text, std::nullopt, 0});
    append(text + kLineBreak);
    logAndShow(text);
}

void StatusOutput::openStep(const QString& text) {
    stepOpened_ = std::chrono::steady_clock::now();
    stepOpen_ = true;
    lines_.push_back({text, std::nullopt, 0});
    stepProgress();
    append(text);
    form_.pendingStatusLength = static_cast<qint16>(text.size());
    logAndShow(text);
}

void StatusOutput::closeStep(const QString& resultWord) {
    recordClosedStep(resultWord);
    stepProgress();
    // A step text and result longer than the line get no dots rather than a broken line.
    const qsizetype dots = std::max<qsizetype>(
        0, kStatusLineWidth - form_.pendingStatusLength - resultWord.size() - 1);
    append(kDots.left(dots) + " " + resultWord + kLineBreak);
    logAndShow(resultWord);
}

void StatusOutput::recordClosedStep(const QString& resultWord) {
    const auto now = std::chrono::steady_clock::now();
    if (!stepOpen_) {
        stepOpened_ = now;
        lines_.push_back({});  // a result word without an open step
    }
    stepOpen_ = false;
    lines_.back().result = resultWord;
    lines_.back().seconds = std::chrono::duration<double>(now - stepOpened_).count();
}

void StatusOutput::logAndShow(const QString& text) {
    if (form_.updateLog) {
        log_.write(text);
    }
    ui_.statusTextChanged(form_.statusText);
    ui_.repaint();
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
