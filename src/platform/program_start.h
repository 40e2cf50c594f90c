#pragma once

#include <QStringList>

#include <optional>

namespace pelorix::platform {

// Starts programs from an argument vector (program, then its arguments, never split again).
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // False when the program could not be started (not found, not executable).
    // Without waiting for the program.
    virtual bool start(const QStringList& argv) = 0;
    // Waits for the program's end: its exit status, or nothing when it could not be started or
    // did not end by itself.
    virtual std::optional<int> runToEnd(const QStringList& argv) = 0;
};

ProgramStarter& defaultProgramStarter();

}  // namespace pelorix::platform
