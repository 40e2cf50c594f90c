#include "platform/package_places.h"

#include <QDir>

namespace pelorix::platform {

// The Debian package: the updater in /usr/bin, its helpers in /usr/lib/pelorix-updater, the key
// in /etc/pelorix-updater.
PackagePlaces packagePlaces(const QString& ownFolder) {
    PackagePlaces places;
    if (!ownFolder.isEmpty()) {
        places.privateProgramFolder = QDir::cleanPath(ownFolder + "/../lib/pelorix-updater");
    }
    places.systemReleaseKey = QStringLiteral("/etc/pelorix-updater/PelorixUpdater.pub");
    return places;
}

}  // namespace pelorix::platform
