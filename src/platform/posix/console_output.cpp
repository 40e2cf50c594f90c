#include "platform/console_output.h"

namespace pelorix::platform {

// A terminal takes UTF-8 as it is, and a window program has no console of its own to hide.
void prepareConsoleOutput(bool /*headless*/) {}

}  // namespace pelorix::platform
