#include "platform/window_display.h"

#include "platform/environment.h"

namespace pelorix::platform {

// An X or Wayland display, or a Qt platform chosen by hand (such as "offscreen"), which needs
// no display or names its own.
bool windowDisplayAvailable(const Environment& environment) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!environment.value(QString::fromLatin1(name)).trimmed().isEmpty()) {
            return true;
        }
    }
    return false;
}

}  // namespace pelorix::platform
