#pragma once

#include "platform/process_table.h"
#include "platform/program_start.h"

#include <QStringList>

namespace pelorix::test {

// Records every program start instead of running it; a start of a program listed in
// `failing` fails, one that is run to its end exits with `exitStatus`.
class RecordingProgramStarter : public platform::ProgramStarter {
  public:
    bool start(const QStringList& argv) override {
        started.push_back(argv);
        return !failing.contains(argv.value(0));
    }
    std::optional<int> runToEnd(const QStringList& argv) override {
        return start(argv) ? std::optional<int>(exitStatus) : std::nullopt;
    }
    std::vector<QStringList> started;
    QStringList failing;
    int exitStatus = 0;
};

class FakeProcessTable : public platform::ProcessTable {
  public:
    std::vector<platform::ProcessEntry> snapshot() const override { return processes; }
    bool terminate(long long pid, int) override {
        terminated.push_back(pid);
        return true;
    }
    std::vector<platform::ProcessEntry> processes;
    std::vector<long long> terminated;
};

}  // namespace pelorix::test
