#include "app/run/update_context.h"

#include "app/run/debug_log.h"
#include "i18n/language.h"

namespace pelorix::app {

QString UpdateContext::tr(const QString& token) const {
    QString copy = token;
    return language.Translate(copy);
}

QString UpdateContext::trLines(const QStringList& tokens, const QString& lineBreak) const {
    QStringList lines;
    for (const QString& token : tokens) {
        lines.append(tr(token));  // one statement per sentence fixes the order of the lookups
    }
    return lines.join(lineBreak);
}

void UpdateContext::log(const QString& message) const {
    if (form.updateLog) {
        debugLog.write(message);
    }
}

MessageAnswer UpdateContext::message(const QString& text, MessageButtons buttons) const {
    return ui.showMessage(text, buttons);
}

RunOutcome UpdateContext::generalFailureExit() const {
    message(
        trLines({"Es ist ein Fehler aufgetreten. Sie müssen den Pelorix evtl. neu installieren.",
                 "Sie können auch versuchen, das Update erneut durchzuführen."},
                "\r"));
    ui.setMousePointer(MousePointer::Default);
    return RunOutcome::GeneralFailure;
}

RunOutcome UpdateContext::interruptedExit(const QString& where) const {
    log(QStringLiteral("Interrupted by signal %1 %2.").arg(interruption()).arg(where));
    message(trLines({"Das Update wurde unterbrochen.",
                     "Führen Sie das Update erneut aus, um es abzuschließen."},
                    "\r"));
    ui.setMousePointer(MousePointer::Default);
    return RunOutcome::Interrupted;
}

}  // namespace pelorix::app
