// Preloaded into the updater by the benchmarks (LD_PRELOAD). It measures, without changing
// what the program does:
//  - the time the program sleeps in the 20 ms steps of WaitSeconds, the waits it is told to
//    make (a step cut short by a signal and resumed counts whole); other sleeps, such as the
//    10 ms passes of the control-document poll, pass through uncounted;
//  - when each piece of the status box is written to standard output, so that a benchmark can time
//    the phases between status lines.
// When the program ends it writes to the file named by $PELORIX_BENCH_TRACE: a line
// "wait SECONDS STEPS", then one line "status SECONDS TEXT" per piece of the status box,
// SECONDS counted from the start of the program.

#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr long kWaitStepNanoseconds = 20'000'000;

struct StatusWrite {
    long long at;
    std::string text;
};

long long waitedNanoseconds = 0;
long waitSteps = 0;
const timespec* interruptedStep = nullptr;
std::vector<StatusWrite> statusWrites;
pid_t tracedProcess = 0;
long long startNanoseconds = 0;

long long nowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool traced() {
    return tracedProcess != 0 && getpid() == tracedProcess;
}

// Programs the updater starts (the registrar) inherit the environment but are not traced.
__attribute__((constructor)) void startTrace() {
    startNanoseconds = nowNanoseconds();
    tracedProcess = getpid();
    unsetenv("LD_PRELOAD");
}

__attribute__((destructor)) void writeTrace() {
    const char* file = std::getenv("PELORIX_BENCH_TRACE");
    if (file == nullptr || !traced()) {
        return;
    }
    FILE* out = std::fopen(file, "w");
    if (out == nullptr) {
        return;
    }
    std::fprintf(out, "wait %.6f %ld\n", waitedNanoseconds / 1e9, waitSteps);
    for (const StatusWrite& write : statusWrites) {
        std::fprintf(out, "status %.6f %s\n", (write.at - startNanoseconds) / 1e9,
                     write.text.c_str());
    }
    std::fclose(out);
}

}  // namespace

extern "C" int nanosleep(const timespec* request, timespec* remaining) {
    static const auto real = next<int (*)(const timespec*, timespec*)>("nanosleep");
    const bool waitStep = traced() && request != nullptr &&
                          ((request->tv_sec == 0 && request->tv_nsec == kWaitStepNanoseconds) ||
                           request == interruptedStep);
    const long long start = waitStep ? nowNanoseconds() : 0;
    const int result = real(request, remaining);
    if (waitStep) {
        const int error = errno;
        waitedNanoseconds += nowNanoseconds() - start;
        // libstdc++ resumes an interrupted sleep with the remaining time in the same structure.
        const bool interrupted = result == -1 && error == EINTR && remaining == request;
        waitSteps += interrupted ? 0 : 1;
        interruptedStep = interrupted ? request : nullptr;
        errno = error;
    }
    return result;
}

// The console front end writes each piece of the status box with fputs and flushes it at once.
extern "C" int fputs(const char* text, FILE* stream) {
    static const auto real = next<int (*)(const char*, FILE*)>("fputs");
    if (stream == stdout && traced()) {
        std::string line(text);
        while (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        statusWrites.push_back({nowNanoseconds(), line});
    }
    return real(text, stream);
}
