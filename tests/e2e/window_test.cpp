// The window for real: the updater on a private X server (Xvfb), driven like a user through the
// X server's input, photographed before, during the download and at the final question
// (PNG files in <build>/screenshots), covered by another window and uncovered during the
// download.

#include "build_paths.h"
#include "e2e_fixture.h"
#include "held_release_server.h"
#include "x_session.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QThread>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

// "Update ausführen": left 240, top 120, width 1755, height 375 twips; 15 twips to a pixel.
constexpr int kButtonCentreX = (240 + 1755 / 2) / 15;
constexpr int kButtonCentreY = (120 + 375 / 2) / 15;

class E2eWindow : public EndToEnd {
  protected:
    void SetUp() override {
        QString missing;
        if (!XSession::available(missing)) {
            GTEST_SKIP() << "needs " << missing.toStdString();
        }
        EndToEnd::SetUp();
        ASSERT_TRUE(x.isRunning()) << "Xvfb did not start";
        sandbox.setEnvironment("DISPLAY", x.display());
        sandbox.setEnvironment("QT_QPA_PLATFORM", "xcb");
        QDir().mkpath(screenshotFolder());
    }

    // A message box: any shown window besides the main window.
    std::optional<ShownWindow> waitForMessageBox(quint32 mainWindow) {
        return x.waitForWindow([=](const ShownWindow& w) { return w.id != mainWindow; }, 30s);
    }

    // Waits until the main window is the only one shown.
    bool onlyShown(quint32 mainWindow) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            const auto shown = x.windows();
            if (shown.size() == 1 && shown.front().id == mainWindow) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    // The share of the window's pixels that differ between two screenshots (1 when either is
    // missing).
    static double differingShare(const QString& first, const QString& second,
                                 const ShownWindow& window) {
        const QRect area(window.x, window.y, window.width, window.height);
        const QImage a = QImage(first).copy(area);
        const QImage b = QImage(second).copy(area);
        if (a.isNull() || a.size() != b.size()) {
            return 1;
        }
        qint64 differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
            }
        }
        return static_cast<double>(differing) / (a.width() * a.height());
    }

    // Covers the window and uncovers it again, then waits for it to look as in `reference`.
    bool paintsAgainAfterCovering(const ShownWindow& window, const QString& reference,
                                  const QString& name) {
        const QString file = screenshotFolder() + "/" + name;
        if (!x.cover(window, 300ms)) {
            return false;
        }
        for (int attempt = 0; attempt < 25; ++attempt) {
            QThread::msleep(200);
            if (x.screenshot(file) && differingShare(reference, file, window) < 0.005) {
                return true;
            }
        }
        return false;
    }

    void photograph(const QString& name) {
        const QString file = screenshotFolder() + "/" + name;
        QFile::remove(file);
        EXPECT_TRUE(x.screenshot(file));
        EXPECT_GT(QFileInfo(file).size(), 1000) << file.toStdString();
    }

    XSession x;
};

TEST_F(E2eWindow, UpdatesThroughTheRealWindowAndIgnoresASecondClick) {
    HeldReleaseServer server(sandbox.path("release/Updater"), "Pelorix.exe");
    sandbox.setUpdateServer(server.base());
    // The second click below must meet a wait of the run, so the waits last their seconds.
    sandbox.setEnvironment("PELORIX_TEST_WAIT_PERCENT", "");
    sandbox.setEnvironment("PELORIX_PARALLEL_DOWNLOADS", "1");
    auto updater = sandbox.start({});

    const auto window =
        x.waitForWindow([](const ShownWindow& w) { return w.title == "Pelorix Updater"; }, 30s);
    ASSERT_TRUE(window.has_value()) << "the window did not show";
    EXPECT_EQ(window->width, 5115 / 15);
    EXPECT_EQ(window->height, 7680 / 15);
    photograph("before.png");

    ASSERT_TRUE(x.click(window->x + kButtonCentreX, window->y + kButtonCentreY));
    const auto confirmation = waitForMessageBox(window->id);
    ASSERT_TRUE(confirmation.has_value()) << "no confirmation";
    EXPECT_EQ(confirmation->title, "PelorixUpdater");
    ASSERT_TRUE(x.pressKey(*confirmation, "Return"));  // OK

    // The download of Pelorix.exe waits on the server: the window shows the run so far.
    ASSERT_TRUE(server.waitForHeldRequest(60s)) << "the download did not start";
    photograph("download.png");
    // Another window over it and off again while the download still waits: the window paints
    // itself anew, with the status line of the download (a window that did not paint would
    // keep the cover's colour).
    EXPECT_TRUE(paintsAgainAfterCovering(*window, screenshotFolder() + "/download.png",
                                         "download-uncovered.png"));
    // A second press while the run goes on: handled during the next wait, and ignored.
    ASSERT_TRUE(x.click(window->x + kButtonCentreX, window->y + kButtonCentreY));
    server.release();

    const auto question = waitForMessageBox(window->id);
    ASSERT_TRUE(question.has_value()) << "no final question";
    photograph("final-question.png");
    ASSERT_TRUE(x.pressKey(*question, "Escape"));  // No: the window stays open
    EXPECT_TRUE(onlyShown(window->id)) << "the question did not go";

    // One run only: a second one would have logged its steps again.
    EXPECT_EQ(sandbox.debugLogMessages(), firstRunLog(false));
    expectNewReleaseInstalled();
    expectDatabaseMigrated();
    EXPECT_TRUE(updater->isRunning()) << "the window closed after No";

    // Idle again, the button starts a new run: the clicks do reach the window.
    ASSERT_TRUE(x.click(window->x + kButtonCentreX, window->y + kButtonCentreY));
    const auto again = waitForMessageBox(window->id);
    ASSERT_TRUE(again.has_value()) << "a click on the idle window started nothing";
    ASSERT_TRUE(x.pressKey(*again, "Escape"));  // Cancel
    EXPECT_TRUE(onlyShown(window->id));

    // A close that arrives while the box is still going away is refused, as on Windows, where
    // a window is blocked while its box is open: ask again until the updater ends.
    for (int attempt = 0; attempt < 5; ++attempt) {
        ASSERT_TRUE(x.close(*window));
        if (updater->exitsWithin(2s)) {
            break;
        }
    }
    const RunResult run = updater->wait(10s);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 0);
}

}  // namespace
}  // namespace pelorix::e2e
