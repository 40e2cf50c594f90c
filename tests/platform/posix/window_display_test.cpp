#include "platform/window_display.h"

#include "platform/environment.h"

#include <gtest/gtest.h>

#include <map>

namespace pelorix::test {
namespace {

struct DisplayCase {
    const char* name;
    std::map<QString, QString> variables;
    bool available;
};

class WindowDisplay : public ::testing::TestWithParam<DisplayCase> {};

// An ssh session has none of the variables; a set but empty one names no display either.
TEST_P(WindowDisplay, IsAvailableOnlyWithADisplayOrAChosenQtPlatform) {
    EXPECT_EQ(platform::windowDisplayAvailable(platform::Environment(GetParam().variables)),
              GetParam().available);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, WindowDisplay,
    ::testing::Values(
        DisplayCase{"Nothing", {{"HOME", "/root"}, {"SSH_CONNECTION", "10.0.0.1 22"}}, false},
        DisplayCase{"EmptyVariables",
                    {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", " "}, {"QT_QPA_PLATFORM", ""}},
                    false},
        DisplayCase{"X", {{"DISPLAY", ":0"}}, true},
        DisplayCase{"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        DisplayCase{"Offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::test
