#pragma once

#include "background_process.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pelorix::e2e {

// A shown top-level window of the X server.
struct ShownWindow {
    quint32 id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QString title;
};

// A private X server (Xvfb, on a display number it picks itself) and the window driver of
// tools/ to act on it like a user.
class XSession {
  public:
    // False when Xvfb or the driver is not there; the test is then skipped.
    static bool available(QString& missing);

    XSession();
    QString display() const { return display_; }
    bool isRunning() const { return !display_.isEmpty(); }

    std::vector<ShownWindow> windows() const;
    // Waits for a shown window that `matches`.
    std::optional<ShownWindow> waitForWindow(const std::function<bool(const ShownWindow&)>& matches,
                                             std::chrono::milliseconds limit) const;
    bool click(int x, int y) const;
    bool pressKey(const ShownWindow& window, const QString& key) const;
    bool close(const ShownWindow& window) const;
    bool screenshot(const QString& file) const;
    // Another window over this one for a while, then gone again (the driver's colour #ff00ff).
    bool cover(const ShownWindow& window, std::chrono::milliseconds duration) const;

  private:
    bool drive(const QStringList& arguments, QString* output = nullptr) const;

    std::unique_ptr<BackgroundProcess> server_;
    QString display_;
};

}  // namespace pelorix::e2e
