#include "platform/program_start.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

namespace pelorix::platform {

namespace {

// The process id of the started program, or nothing.
std::optional<pid_t> spawn(const QStringList& argv) {
    if (argv.isEmpty() || argv.front().isEmpty()) {
        return std::nullopt;
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
        return std::nullopt;
    }
    return pid;
}

class PosixProgramStarter final : public ProgramStarter {
  public:
    bool start(const QStringList& argv) override {
        const std::optional<pid_t> pid = spawn(argv);
        if (!pid) {
            return false;
        }
        // The updater never waits for what it starts, but the child must not stay a zombie.
        std::thread([child = *pid] { waitpid(child, nullptr, 0); }).detach();
        return true;
    }

    std::optional<int> runToEnd(const QStringList& argv) override {
        const std::optional<pid_t> pid = spawn(argv);
        if (!pid) {
            return std::nullopt;
        }
        int status = 0;
        while (waitpid(*pid, &status, 0) < 0) {
            if (errno != EINTR) {
                return std::nullopt;
            }
        }
        // posix_spawnp reports a program it cannot execute through the child's status 127.
        if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
            return std::nullopt;
        }
        return WEXITSTATUS(status);
    }
};

}  // namespace

ProgramStarter& defaultProgramStarter() {
    static PosixProgramStarter starter;
    return starter;
}

}  // namespace pelorix::platform
