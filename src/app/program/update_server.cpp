#include "app/program/update_server.h"

#include "platform/environment.h"

#include <QUrl>

namespace pelorix::app {
namespace {

const QString kDefaultBase = QStringLiteral("http://updates.pelorix.example/Updater");
const QString kHistoryPath = QStringLiteral("/sources/PX_History.txt");

QString withoutTrailingSlashes(QString address) {
    while (address.endsWith(QLatin1Char('/'))) {
        address.chop(1);
    }
    return address;
}

QString historyPageOf(const QString& base) {
    const QUrl url(base, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return {};
    }
    return url.scheme() + "://" + url.authority(QUrl::FullyEncoded) + kHistoryPath;
}

}  // namespace

QString updateServerBase(const platform::Environment& environment) {
    const QString configured = environment.value("PELORIX_UPDATE_SERVER");
    return configured.isEmpty() ? kDefaultBase : withoutTrailingSlashes(configured);
}

QString historyPageAddress(const QString& updateServerBase) {
    const QString page = historyPageOf(updateServerBase);
    // An override that names no host still leaves the product's own history page.
    return page.isEmpty() ? historyPageOf(kDefaultBase) : page;
}

}  // namespace pelorix::app
