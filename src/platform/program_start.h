#pragma once

#include "platform/outcome.h"

#include <QStringList>

namespace pelorix::platform {

// Starts programs from an argument vector (program, then its arguments, never split again).
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // A failure when the program could not be started (not found, not executable).
    // Without waiting for the program.
    virtual Outcome start(const QStringList& argv) = 0;
    // Waits for the program's end: its exit status, or the reason there is none (it could not
    // be started or did not end by itself).
    virtual Fallible<int> runToEnd(const QStringList& argv) = 0;
};

ProgramStarter& defaultProgramStarter();

}  // namespace pelorix::platform
