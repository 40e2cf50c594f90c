// pelorix-window-driver: acts on the windows of an X server like a user, for the end-to-end
// test of the updater's window under Xvfb. The server is that of $DISPLAY; it needs the XTEST
// extension (Xvfb has it) and no window manager.
//
//   pelorix-window-driver windows           the shown top-level windows, one a line:
//                                           "ID X Y WIDTH HEIGHT TITLE"
//   pelorix-window-driver click X Y         a click of the first mouse button at X, Y
//   pelorix-window-driver key ID KEY        focus on window ID, then press KEY
//                                           (Return, Escape or space)
//   pelorix-window-driver close ID          ask window ID to close (WM_DELETE_WINDOW)
//   pelorix-window-driver screenshot FILE   the whole screen as a PNG file
//   pelorix-window-driver cover X Y W H MS  a window of one colour (#ff00ff) over that part of
//                                           the screen for MS milliseconds, then gone again
//
// Exit status: 0 done; 1 the action failed; 2 bad command line; 3 no X server or no XTEST.

#include "x_display.h"

#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

using pelorix::windowdriver::XDisplay;

enum ExitStatus { kDone = 0, kFailed = 1, kBadCommandLine = 2, kNoServer = 3 };

int listWindows(XDisplay& display) {
    for (const auto& window : display.shownWindows()) {
        std::printf("%u %d %d %d %d %s\n", window.id, window.x, window.y, window.width,
                    window.height, window.title.toUtf8().constData());
    }
    return kDone;
}

int cover(XDisplay& display, const QStringList& numbers) {
    std::vector<int> values;
    for (const QString& text : numbers) {
        bool valid = false;
        values.push_back(text.toInt(&valid));
        if (!valid || values.back() < 0) {
            return kBadCommandLine;
        }
    }
    display.cover(values[0], values[1], values[2], values[3], std::chrono::milliseconds(values[4]));
    return kDone;
}

int run(XDisplay& display, const QStringList& arguments) {
    const QString command = arguments.value(0);
    bool valid = true;
    if (command == "windows" && arguments.size() == 1) {
        return listWindows(display);
    }
    if (command == "click" && arguments.size() == 3) {
        bool xValid = false;
        const int x = arguments[1].toInt(&xValid);
        const int y = arguments[2].toInt(&valid);
        if (xValid && valid) {
            display.click(x, y);
            return kDone;
        }
    } else if (command == "key" && arguments.size() == 3) {
        const std::uint32_t window = arguments[1].toUInt(&valid);
        if (valid) {
            return display.pressKey(window, arguments[2]) ? kDone : kFailed;
        }
    } else if (command == "close" && arguments.size() == 2) {
        const std::uint32_t window = arguments[1].toUInt(&valid);
        if (valid) {
            display.requestClose(window);
            return kDone;
        }
    } else if (command == "cover" && arguments.size() == 6) {
        return cover(display, arguments.mid(1));
    } else if (command == "screenshot" && arguments.size() == 2) {
        const QImage image = display.screenshot();
        return !image.isNull() && image.save(arguments[1], "PNG") ? kDone : kFailed;
    }
    std::fputs(
        "usage: pelorix-window-driver windows | click X Y | key ID KEY | close ID | "
        "screenshot FILE | cover X Y W H MS\n",
        stderr);
    return kBadCommandLine;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    XDisplay display;
    if (!display.isConnected() || !display.hasXTest()) {
        std::fputs("pelorix-window-driver: no X server with XTEST at $DISPLAY\n", stderr);
        return kNoServer;
    }
    return run(display, arguments);
}
