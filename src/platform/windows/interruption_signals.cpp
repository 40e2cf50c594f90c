#include "platform/interruption_signals.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace pelorix::platform {

namespace {

// The console closed, the user logging off or the machine shutting down end the process as soon
// as the handler returns; the system waits about 5 s before ending it anyway. The handler holds
// on for a little less, so the run can reach a point where a re-run completes the update
// (ExitProcess ends this thread at once when the run is done earlier).
constexpr DWORD kGraceBeforeEndMs = 4000;

std::atomic<int> requestedBy{0};

// The request carries the number the POSIX build gives the same kind of request, so the log
// reads alike: Ctrl+C is SIGINT, every other way to stop is SIGTERM.
int signalNumberOf(DWORD event) {
    return event == CTRL_C_EVENT ? SIGINT : SIGTERM;
}

BOOL WINAPI noteInterruption(DWORD event) {
    int none = 0;
    requestedBy.compare_exchange_strong(none, signalNumberOf(event));
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        Sleep(kGraceBeforeEndMs);
    }
    return TRUE;
}

}  // namespace

void catchInterruptionRequests() {
    SetConsoleCtrlHandler(noteInterruption, TRUE);
}

int interruptionRequest() {
    return requestedBy.load();
}

}  // namespace pelorix::platform
