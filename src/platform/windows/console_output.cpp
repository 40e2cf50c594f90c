#include "platform/console_output.h"

#include <windows.h>

namespace pelorix::platform {

// The updater is a console program. Its headless lines are UTF-8; the window mode started from
// Explorer would leave an empty console window behind, one that only this process uses.
void prepareConsoleOutput(bool headless) {
    if (headless) {
        SetConsoleOutputCP(CP_UTF8);
        return;
    }
    DWORD processes[2] = {};
    if (GetConsoleProcessList(processes, 2) == 1) {
        FreeConsole();
    }
}

}  // namespace pelorix::platform
