#pragma once

#include <QString>

namespace pelorix::platform {

inline constexpr int kCommonAppData = 35;
inline constexpr int kSystemFolder = 37;

// The folder of a shell folder number, or the empty text when it cannot be resolved.
QString GetSpecialFolder(int folderNumber);

// The folder that holds the running executable, and the executable's file name.
QString ownFolder();
QString ownExecutableName();

}  // namespace pelorix::platform
