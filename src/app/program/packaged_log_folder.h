#pragma once

#include <QString>

namespace pelorix::app {

// The folder a packaged build keeps its debug log in (the package's build sets it, for example
// /var/log/pelorix-updater, since the program folder of a package is a system folder); empty for
// a build that keeps the log beside the program.
QString packagedLogFolder();

}  // namespace pelorix::app
