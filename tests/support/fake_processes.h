#pragma once

#include "platform/process_table.h"
#include "platform/program_start.h"

#include <QStringList>

namespace pelorix::test {

// Records every program start instead of running it; a start of a program listed in
// `failing` fails.
class RecordingProgramStarter : public platform::ProgramStarter {
  public:
    bool start(const QStringList& argv) override {
        started.push_back(argv);
        return !failing.contains(argv.value(0));
    }
    std::vector<QStringList> started;
    QStringList failing;
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
