#include "support/database_fixture.h"

#include "platform/file_system.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace pelorix::test {

// The sqlite3 shell holding the lock until its input closes.
struct ExclusiveLock::Holder {
    int input = -1;
    pid_t pid = -1;
};

namespace {

bool probeSeesLock(const QString& file) {
    platform::QtSqlDatabase::Options impatient;
    impatient.sqliteBusyTimeout = std::chrono::milliseconds(0);
    platform::QtSqlDatabase probe(platform::defaultFileSystem(), impatient);
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (!probe.query(jetConnection(file), "Select * from sqlite_master").ok) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

ExclusiveLock::ExclusiveLock(const QString& file) : holder_(std::make_unique<Holder>()) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const QByteArray path = file.toLocal8Bit();
    char* const argv[] = {const_cast<char*>("sqlite3"), const_cast<char*>(path.constData()),
                          nullptr};
    pid_t pid = -1;
    const bool started = posix_spawnp(&pid, "sqlite3", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[0]);
    holder_->input = pipeEnds[1];
    if (!started) {
        release();
        return;
    }
    holder_->pid = pid;
    // The shell waits for the probe below to let go instead of failing at once.
    const char begin[] = ".timeout 5000\nBEGIN EXCLUSIVE;\n";
    if (::write(holder_->input, begin, sizeof begin - 1) != sizeof begin - 1) {
        release();
        return;
    }
    held_ = probeSeesLock(file);
}

ExclusiveLock::~ExclusiveLock() {
    release();
}

void ExclusiveLock::release() {
    if (holder_->input >= 0) {
        ::close(holder_->input);
        holder_->input = -1;
    }
    if (holder_->pid > 0) {
        ::waitpid(holder_->pid, nullptr, 0);
        holder_->pid = -1;
    }
}

}  // namespace pelorix::test
