#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pelorix::supervisor {

struct Options {
    std::string document;
    std::chrono::milliseconds delay{1500};
    std::chrono::milliseconds pollInterval{50};
    std::set<std::string> keepRunning;
    std::set<std::string> keepStopped;
    bool create = false;
};

// The options of the command line, or nothing (with the reason in error) when they are wrong.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

extern const char* const kUsage;

}  // namespace pelorix::supervisor
