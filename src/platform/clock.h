#pragma once

#include <chrono>

namespace pelorix::platform {

// Time of day and waits, behind an interface so that long waits can be tested quickly.
class Clock {
  public:
    virtual ~Clock() = default;
    // Whole seconds since local midnight.
    virtual int secondsSinceMidnight() const = 0;
    virtual std::chrono::steady_clock::time_point monotonicNow() const = 0;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

Clock& systemClock();

}  // namespace pelorix::platform
