#include "platform/terminal.h"

#include <windows.h>

#include <io.h>

namespace pelorix::platform {

// The C runtime calls the NUL device a terminal too; only a console has a console mode.
bool isTerminal(FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0) {
        return false;
    }
    const intptr_t handle = _get_osfhandle(descriptor);
    DWORD mode = 0;
    return handle != -1 && GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

}  // namespace pelorix::platform
