#include "platform/clock.h"

#include <QTime>  // Qt reads the local time on both systems

#include <thread>

namespace pelorix::platform {

namespace {

class SystemClock final : public Clock {
  public:
    int secondsSinceMidnight() const override {
        return QTime::currentTime().msecsSinceStartOfDay() / 1000;
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
