#pragma once

#include <QString>

namespace pelorix::platform {

// A folder of the operating system itself (the root, the program and library folders, the
// configuration folder), where no installation of the product may put its files.
bool isOperatingSystemFolder(const QString& folder);

}  // namespace pelorix::platform
