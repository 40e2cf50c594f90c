#pragma once

#include <QImage>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

namespace pelorix::windowdriver {

// A top-level window as the X server sees it (without a window manager, top-level windows are
// children of the root window and their position is their place on the screen).
struct TopLevelWindow {
    std::uint32_t id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QString title;
};

// One connection to the X server of $DISPLAY. Input is synthesised with the XTEST extension,
// so the program under test receives it like a user's.
class XDisplay {
  public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool isConnected() const { return connection_ != nullptr; }
    bool hasXTest() const { return xtestOpcode_ != 0; }

    // The windows that are shown, bottom to top.
    std::vector<TopLevelWindow> shownWindows();
    // A click of the first mouse button at a place of the screen.
    void click(int x, int y);
    // Gives the window the keyboard focus and presses the key ("Return", "Escape", "space").
    bool pressKey(std::uint32_t window, const QString& keyName);
    // Asks the window to close, as a window manager's close button does.
    void requestClose(std::uint32_t window);
    QImage screenshot();
    // Lays a window of one colour (kCoverColour) over this part of the screen for a while and
    // takes it away again, as another program's window moved over and off: what lies beneath
    // must then be painted anew by its own program.
    void cover(int x, int y, int width, int height, std::chrono::milliseconds duration);

    static constexpr std::uint32_t kCoverColour = 0xff00ff;

  private:
    std::optional<std::uint8_t> keycodeOf(std::uint32_t keysym);
    void sync();
    void fakeInput(std::uint8_t type, std::uint8_t detail, int x = 0, int y = 0);
    xcb_atom_t atom(const char* name);
    QString titleOf(xcb_window_t window);

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    std::uint8_t xtestOpcode_ = 0;
};

}  // namespace pelorix::windowdriver
