#pragma once

namespace pelorix::platform {

// Readies the console for the mode the program runs in: the headless mode writes UTF-8 lines to
// it, the window mode needs none.
void prepareConsoleOutput(bool headless);

}  // namespace pelorix::platform
