// bench_measure RESULT-FILE COMMAND [ARGUMENTS...]
//
// Runs the command and appends one line to RESULT-FILE: its wall time, user and system CPU time
// in seconds, its peak resident memory in KiB and its exit status. The command's own output
// passes through. Exits with the command's status (127 when it could not be started).

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

extern char** environ;

namespace {

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

int statusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) {
        return WEXITSTATUS(waitStatus);
    }
    return 128 + WTERMSIG(waitStatus);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_measure RESULT-FILE COMMAND [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::fprintf(stderr, "bench_measure: cannot start %s\n", argv[2]);
        return 127;
    }
    int waitStatus = 0;
    rusage usage{};
    if (wait4(child, &waitStatus, 0, &usage) != child) {
        std::perror("bench_measure: wait4");
        return 127;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const int status = statusOf(waitStatus);
    FILE* out = std::fopen(argv[1], "a");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 127;
    }
    std::fprintf(out, "%.6f %.6f %.6f %ld %d\n", wall.count(), seconds(usage.ru_utime),
                 seconds(usage.ru_stime), usage.ru_maxrss, status);
    std::fclose(out);
    return status;
}
