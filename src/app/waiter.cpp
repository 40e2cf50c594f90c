#include "app/waiter.h"

#include "app/user_interface.h"
#include "platform/clock.h"

namespace pelorix::app {

Waiter::Waiter(platform::Clock& clock, UserInterface& ui, int percent)
    : clock_(clock), ui_(ui), percent_(percent) {}

void Waiter::WaitSeconds(qint16 seconds) {
    // Measured on a monotonic clock so that a wait across midnight lasts as long as any other.
    const auto end = clock_.monotonicNow() +
                     std::chrono::milliseconds(std::chrono::seconds(seconds)) * percent_ / 100;
    while (clock_.monotonicNow() < end) {
        ui_.processEvents();
        clock_.sleepFor(std::chrono::milliseconds(20));
    }
}

}  // namespace pelorix::app
