#include "platform/window_display.h"

namespace pelorix::platform {

// A Windows session always has a desktop to show the window on.
bool windowDisplayAvailable(const Environment& /*environment*/) {
    return true;
}

}  // namespace pelorix::platform
