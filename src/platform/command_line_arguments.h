#pragma once

#include <QStringList>

namespace pelorix::platform {

// The arguments the program was started with, after the program's own name, as the user wrote
// them (on Windows the wide command line, which the ANSI argv would cut to the code page).
QStringList commandLineArguments(int argc, char** argv);

}  // namespace pelorix::platform
