#pragma once

#include <QString>

namespace pelorix::platform {

// Where an installed package of the updater keeps what belongs to it outside the updater's own
// folder: a private folder of helper programs, searched before the updater's own folder (another
// program may own a helper's name on the search path and beside the updater), and the
// system-wide trusted release key. Each is empty where this system has none.
struct PackagePlaces {
    QString privateProgramFolder;
    QString systemReleaseKey;
};

PackagePlaces packagePlaces(const QString& ownFolder);

}  // namespace pelorix::platform
