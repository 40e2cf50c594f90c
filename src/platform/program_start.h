#pragma once

#include <QStringList>

namespace pelorix::platform {

// Starts programs from an argument vector (program, then its arguments, never split again)
// without waiting for them.
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // False when the program could not be started (not found, not executable).
    virtual bool start(const QStringList& argv) = 0;
};

ProgramStarter& defaultProgramStarter();

}  // namespace pelorix::platform
