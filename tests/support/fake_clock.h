#pragma once

#include "platform/clock.h"

#include <functional>

namespace pelorix::test {

// A clock whose time moves only when the code under test sleeps, so that waits of seconds run
// in microseconds.
class FakeClock : public platform::Clock {
  public:
    explicit FakeClock(int startSecondsSinceMidnight = 12 * 3600)
        : startMs_(static_cast<long long>(startSecondsSinceMidnight) * 1000) {}

    int secondsSinceMidnight() const override {
        return static_cast<int>(((startMs_ + elapsed_.count()) / 1000) % 86400);
    }
    std::chrono::steady_clock::time_point monotonicNow() const override {
        return std::chrono::steady_clock::time_point(elapsed_);
    }
    void sleepFor(std::chrono::milliseconds duration) override {
        elapsed_ += duration;
        ++sleeps;
        if (onSleep) {
            onSleep();
        }
    }

    std::chrono::milliseconds elapsed() const { return elapsed_; }
    void advance(std::chrono::milliseconds duration) { elapsed_ += duration; }
    // The time of day is set, the monotonic clock goes on as before.
    void shiftTimeOfDay(std::chrono::seconds shift) { startMs_ += shift.count() * 1000; }

    int sleeps = 0;
    std::function<void()> onSleep;

  private:
    long long startMs_;
    std::chrono::milliseconds elapsed_{0};
};

}  // namespace pelorix::test
