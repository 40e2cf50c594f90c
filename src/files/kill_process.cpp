#include "files/kill_process.h"

#include "platform/process_table.h"

namespace pelorix::files {

namespace {

bool nameMatches(const QString& stored, const QString& wanted) {
    // Only the end of the name counts, so a stored name with a folder in front still matches.
    // A stored name shorter than the wanted one is compared whole, and so never matches.
    return stored.right(wanted.size()).compare(wanted, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool IsProcessRunning(const QString& name, bool terminate, platform::ProcessTable& processes) {
    if (name.isEmpty()) {
        return false;
    }
    bool found = false;
    for (const platform::ProcessEntry& entry : processes.snapshot()) {
        const bool matches = std::any_of(entry.names.begin(), entry.names.end(),
                                         [&](const QString& n) { return nameMatches(n, name); });
        if (matches) {
            found = true;
            if (terminate) {
                KillProcessById(entry.pid, 0, processes);
            }
        }
    }
    return found;
}

bool KillProcessById(long long processId, int exitCode, platform::ProcessTable& processes) {
    return processes.terminate(processId, exitCode);
}

}  // namespace pelorix::files
