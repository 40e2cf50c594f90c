#pragma once

#include <QString>

namespace pelorix::app {

// The registrar of self-registering libraries, "regsvr32": the one in the package's private
// folder, else the one beside the updater's own executable, else the one on the search path.
// When none exists the bare name is returned and its start fails.
QString findRegistrar(const QString& privateProgramFolder, const QString& ownFolder);

}  // namespace pelorix::app
