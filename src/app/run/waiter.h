#pragma once

#include <QtGlobal>

namespace pelorix::platform {
class Clock;
}

namespace pelorix::app {

class UserInterface;

// Waits whole seconds while the window keeps handling its events.
class Waiter {
  public:
    Waiter(platform::Clock& clock, UserInterface& ui);
    void WaitSeconds(qint16 seconds);

  private:
    platform::Clock& clock_;
    UserInterface& ui_;
};

}  // namespace pelorix::app
