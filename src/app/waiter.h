#pragma once

#include <QtGlobal>

namespace pelorix::platform {
class Clock;
}

namespace pelorix::app {

class UserInterface;

// Waits whole seconds while the window keeps handling its events. `percent` shortens every wait
// for tests (see UpdateLimits::waitPercent); a user's run waits 100 %.
class Waiter {
  public:
    Waiter(platform::Clock& clock, UserInterface& ui, int percent = 100);
    void WaitSeconds(qint16 seconds);

  private:
    platform::Clock& clock_;
    UserInterface& ui_;
    int percent_;
};

}  // namespace pelorix::app
