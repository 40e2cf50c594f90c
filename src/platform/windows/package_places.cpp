#include "platform/package_places.h"

namespace pelorix::platform {

// Windows has no package of the updater: its setup puts the release key beside the updater,
// which is looked at anyway, and regsvr32 is Windows' own, found on the search path. So there is
// neither a private folder nor a system-wide key.
PackagePlaces packagePlaces(const QString& /*ownFolder*/) {
    return {};
}

}  // namespace pelorix::platform
