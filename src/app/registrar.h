#pragma once

#include <QString>

namespace pelorix::app {

// The registrar of self-registering libraries: "regsvr32" on the search path; without one there,
// the one installed beside the updater's own executable. When neither exists the bare name is
// returned and its start fails.
QString findRegistrar(const QString& ownFolder);

}  // namespace pelorix::app
