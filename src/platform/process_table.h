#pragma once

#include <QString>

#include <vector>

namespace pelorix::platform {

// A running process and the names it goes by (executable, command name, first argument).
struct ProcessEntry {
    long long pid = 0;
    std::vector<QString> names;
};

class ProcessTable {
  public:
    virtual ~ProcessTable() = default;
    virtual std::vector<ProcessEntry> snapshot() const = 0;
    virtual bool terminate(long long pid, int exitCode) = 0;
};

ProcessTable& defaultProcessTable();

}  // namespace pelorix::platform
