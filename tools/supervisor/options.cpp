#include "options.h"

#include <charconv>

namespace pelorix::supervisor {

const char* const kUsage =
    "usage: pelorix-supervisor --document PATH [--create] [--delay-ms N] [--poll-ms N]\n"
    "                          [--keep-running NAME]... [--keep-stopped NAME]...\n";

namespace {

std::optional<std::chrono::milliseconds> parseMilliseconds(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || rest != end || value < 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(value);
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--create") {
            options.create = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            error = name.starts_with("--") ? name + " needs a value" : "unknown argument " + name;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (name == "--document") {
            options.document = value;
        } else if (name == "--keep-running") {
            options.keepRunning.insert(value);
        } else if (name == "--keep-stopped") {
            options.keepStopped.insert(value);
        } else if (name == "--delay-ms" || name == "--poll-ms") {
            const auto duration = parseMilliseconds(value);
            if (!duration || (name == "--poll-ms" && duration->count() == 0)) {
                error = "bad value for " + name + ": " + value;
                return std::nullopt;
            }
            (name == "--delay-ms" ? options.delay : options.pollInterval) = *duration;
        } else {
            error = "unknown argument " + name;
            return std::nullopt;
        }
    }
    if (options.document.empty()) {
        error = "--document is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace pelorix::supervisor
