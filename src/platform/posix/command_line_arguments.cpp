#include "platform/command_line_arguments.h"

#include <QString>

namespace pelorix::platform {

QStringList commandLineArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

}  // namespace pelorix::platform
