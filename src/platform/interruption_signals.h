#pragma once

namespace pelorix::platform {

// From now on an interruption request (SIGINT, SIGTERM, SIGHUP on POSIX) no longer ends the
// process: it is noted, and the program stops at a point of its own choosing.
void catchInterruptionRequests();

// The number of the signal that asked to stop, 0 while none has.
int interruptionRequest();

}  // namespace pelorix::platform
