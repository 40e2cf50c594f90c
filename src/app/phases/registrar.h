#pragma once

#include <QString>

namespace pelorix::app {

// The package's private folder of helper programs, relative to the updater's own folder:
// "/usr/lib/pelorix-updater" for an updater in "/usr/bin".
QString privateProgramFolder(const QString& ownFolder);

// The registrar of self-registering libraries, "regsvr32": the one beside the updater's own
// executable, else the one in the package's private folder, else the one on the search path.
// When none exists the bare name is returned and its start fails.
QString findRegistrar(const QString& ownFolder);

}  // namespace pelorix::app
