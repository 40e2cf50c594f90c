#pragma once

#include <QString>

namespace pelorix::platform {

class Environment;

inline constexpr int kCommonAppData = 35;
inline constexpr int kSystemFolder = 37;

// The folder of a shell folder number, or the empty text when it cannot be resolved. The
// environment may name another folder (for tests, and a machine laid out otherwise).
QString GetSpecialFolder(const Environment& environment, int folderNumber);

// The folder that holds the running executable, and the executable's file name.
QString ownFolder();
QString ownExecutableName();

}  // namespace pelorix::platform
