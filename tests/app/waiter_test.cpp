#include "app/waiter.h"
#include "app/fake_ui.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace pelorix::app {
namespace {

TEST(WaiterTest, WaitsTheWholeTimeHandlingEvents) {
    test::FakeClock clock(10 * 3600);
    test::FakeUi ui;
    Waiter waiter(clock, ui);
    waiter.WaitSeconds(2);
    EXPECT_EQ(clock.elapsed(), std::chrono::milliseconds(2000));
    EXPECT_EQ(ui.eventPasses, 100);  // one pass per 20 ms
}

TEST(WaiterTest, TheTestKnobShortensEveryWaitByItsPercent) {
    test::FakeClock clock(10 * 3600);
    test::FakeUi ui;
    Waiter waiter(clock, ui, 10);
    waiter.WaitSeconds(2);
    EXPECT_EQ(clock.elapsed(), std::chrono::milliseconds(200));
}

TEST(WaiterTest, AWaitNearMidnightStillWaits) {
    test::FakeClock clock(86396);
    test::FakeUi ui;
    Waiter waiter(clock, ui);
    waiter.WaitSeconds(2);
    EXPECT_EQ(clock.elapsed(), std::chrono::milliseconds(2000));
    clock.advance(std::chrono::milliseconds(2000));
    waiter.WaitSeconds(1);  // across midnight
    EXPECT_EQ(clock.elapsed(), std::chrono::milliseconds(5000));
}

}  // namespace
}  // namespace pelorix::app
