#pragma once

#include <QString>

namespace pelorix::platform {
class ProcessTable;
}

namespace pelorix::files {

// True when a running process's executable name ends with the given name, compared without
// regard to case; with terminate, every such process is ended. An empty name matches nothing.
bool IsProcessRunning(const QString& name, bool terminate, platform::ProcessTable& processes);
bool KillProcessById(long long processId, int exitCode, platform::ProcessTable& processes);

}  // namespace pelorix::files
