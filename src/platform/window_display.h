#pragma once

namespace pelorix::platform {
class Environment;

// Whether the window can be shown at all. Asked before Qt's window system starts, since Qt
// aborts the program when it finds no display.
bool windowDisplayAvailable(const Environment& environment);

}  // namespace pelorix::platform
