#include "platform/program_start.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

extern char** environ;

namespace pelorix::platform {

namespace {

class PosixProgramStarter final : public ProgramStarter {
  public:
    bool start(const QStringList& argv) override {
        if (argv.isEmpty() || argv.front().isEmpty()) {
            return false;
        }
        std::vector<QByteArray> encoded;
        for (const QString& argument : argv) {
            encoded.push_back(argument.toLocal8Bit());
        }
        std::vector<char*> pointers;
        for (QByteArray& argument : encoded) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);

        pid_t pid = 0;
        if (posix_spawnp(&pid, pointers.front(), nullptr, nullptr, pointers.data(), environ) != 0) {
            return false;
        }
        // The updater never waits for what it starts, but the child must not stay a zombie.
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
        return true;
    }
};

}  // namespace

ProgramStarter& defaultProgramStarter() {
    static PosixProgramStarter starter;
    return starter;
}

}  // namespace pelorix::platform
