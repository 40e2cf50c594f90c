#include "app/phases/download_error.h"

#include "app/run/update_context.h"

namespace pelorix::app {

void ShowDownloadError(UpdateContext& ctx, const QString& releaseRefusal) {
    QString text = ctx.trLines({"Fehler beim Download. Der Vorgang wird abgebrochen.",
                                "Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre "
                                "Einstellungen der Firewall.",
                                "", "Sie können bei Orvane auch ein Offline-Update erhalten."},
                               "\r");
    // The lines above are the same for every failed download; only this one says what to fix.
    if (!releaseRefusal.isEmpty()) {
        text += "\r\rRelease refused: " + releaseRefusal;
    }
    ctx.message(text);
    ctx.ui.setMousePointer(MousePointer::Default);
}

}  // namespace pelorix::app
