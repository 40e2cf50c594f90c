#include "platform/program_start.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace pelorix::platform {

namespace {

// The process id of the started program, or why it could not be started.
Fallible<pid_t> spawn(const QStringList& argv) {
    if (argv.isEmpty() || argv.front().isEmpty()) {
        return Outcome::failure(QStringLiteral("no program named"));
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
    if (const int error =
            posix_spawnp(&pid, pointers.front(), nullptr, nullptr, pointers.data(), environ)) {
        return Outcome::failureFromErrno(error);
    }
    return pid;
}

// Why a program that was awaited gave no exit status of its own.
QString endWithoutExitStatus(int status) {
    if (WIFSIGNALED(status)) {
        return QStringLiteral("ended by signal %1 (%2)")
            .arg(WTERMSIG(status))
            .arg(QString::fromLocal8Bit(::strsignal(WTERMSIG(status))));
    }
    // posix_spawnp reports a program it cannot execute through the child's status 127.
    return QStringLiteral("could not be executed (exit status 127)");
}

class PosixProgramStarter final : public ProgramStarter {
  public:
    Outcome start(const QStringList& argv) override {
        const Fallible<pid_t> pid = spawn(argv);
        if (!pid) {
            return Outcome::failure(pid.reason());
        }
        // The updater never waits for what it starts, but the child must not stay a zombie.
        std::thread([child = *pid] { waitpid(child, nullptr, 0); }).detach();
        return Outcome::success();
    }

    Fallible<int> runToEnd(const QStringList& argv) override {
        const Fallible<pid_t> pid = spawn(argv);
        if (!pid) {
            return Outcome::failure(pid.reason());
        }
        int status = 0;
        while (waitpid(*pid, &status, 0) < 0) {
            if (errno != EINTR) {
                return Outcome::failureFromErrno();
            }
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
            return Outcome::failure(endWithoutExitStatus(status));
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
