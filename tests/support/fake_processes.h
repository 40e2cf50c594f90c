#pragma once

#include "platform/process_table.h"
#include "platform/program_start.h"

#include <QStringList>

namespace pelorix::test {

// Records every program start instead of running it; a start of a program listed in
// `failing` fails, one that is run to its end exits with `exitStatus`.
class RecordingProgramStarter : public platform::ProgramStarter {
  public:
    platform::Outcome start(const QStringList& argv) override {
        started.push_back(argv);
        if (failing.contains(argv.value(0))) {
            return platform::Outcome::failure("failing on purpose: " + argv.value(0));
        }
        return platform::Outcome::success();
    }
    platform::Fallible<int> runToEnd(const QStringList& argv) override {
        if (const platform::Outcome outcome = start(argv); !outcome) {
            return outcome;
        }
        return exitStatus;
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
