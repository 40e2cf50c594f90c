#pragma once

#include "options.h"

#include <pugixml.hpp>

#include <chrono>
#include <map>
#include <string>

namespace pelorix::supervisor {

// Brings each process's currentstatus to its targetstatus once the target has stood unchanged
// for the configured delay; processes to keep running never reach "0", processes to keep
// stopped never reach "1".
class Supervisor {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit Supervisor(Options options);

    // One look at the document; rewrites it when a process changed its status.
    void tick(TimePoint now);

  private:
    struct PendingChange {
        std::string target;
        TimePoint since;
    };

    // True when the process's currentstatus was changed.
    bool superviseProcess(pugi::xml_node process, TimePoint now);

    Options options_;
    std::map<std::string, PendingChange> pending_;
};

}  // namespace pelorix::supervisor
