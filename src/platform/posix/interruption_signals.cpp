#include "platform/interruption_signals.h"

#include <csignal>
#include <initializer_list>

namespace pelorix::platform {

namespace {

volatile std::sig_atomic_t requestedBy = 0;

void noteInterruption(int signalNumber) {
    if (requestedBy == 0) {
        requestedBy = signalNumber;
    }
}

}  // namespace

void catchInterruptionRequests() {
    struct sigaction action {};
    action.sa_handler = noteInterruption;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

int interruptionRequest() {
    return requestedBy;
}

}  // namespace pelorix::platform
