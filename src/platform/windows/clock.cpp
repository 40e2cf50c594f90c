#include "platform/clock.h"

#include <windows.h>

#include <thread>

namespace pelorix::platform {

namespace {

class SystemClock final : public Clock {
  public:
    int secondsSinceMidnight() const override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return (now.wHour * 60 + now.wMinute) * 60 + now.wSecond;
    }
    std::chrono::steady_clock::time_point monotonicNow() const override {
        return std::chrono::steady_clock::now();
    }
    void sleepFor(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace pelorix::platform
