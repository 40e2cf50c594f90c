#include "platform/terminal.h"

#include <unistd.h>

namespace pelorix::platform {

bool isTerminal(FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace pelorix::platform
