#include "app/window/main_window.h"
#include "platform/browser_command.h"
#include "platform/database/database_qtsql.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "support/fake_clock.h"
#include "support/fake_processes.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace pelorix::app::window {
namespace {

class WindowTest : public ::testing::Test {
  protected:
    WindowTest() {
        dir.write("Pelorix/Pelorix.ini",
                  test::cp1252("[ServiceSettings]\r\nAppPath=" + dir.file("app") +
                               "\r\n[Settings]\r\nLanguage=EN\r\n"));
        dir.write("app/language.ini",
                  test::cp1252("[LanguageSettings]\r\nSupportedLanguages=DE,EN\r\n"
                               "[Update ausführen]\r\nEN=Run update\r\n"
                               "[Pelorix Updater]\r\nEN=Pelorix Updater (EN)\r\n"
                               "[nur Datenbank aktualisieren]\r\nEN=Database only\r\n"));
    }

    UpdateServices services() {
        return {platform::defaultFileSystem(), programs, processes, clock, database,
                platform::defaultHttpClient()};
    }
    // The installation with common application data in the test's folder.
    Installation installation(const QString& commandLine = "") const {
        return installationFrom(platform::Environment({{"PELORIX_COMMON_APPDATA", dir.path()}}),
                                commandLine);
    }

    test::TempDir dir;
    test::FakeClock clock;
    test::RecordingProgramStarter programs;
    test::FakeProcessTable processes;
    platform::QtSqlDatabase database{platform::defaultFileSystem()};
};

TEST_F(WindowTest, ControlsCaptionsAndPositions) {
    MainWindow window(installation(), false, services());
    EXPECT_EQ(window.windowTitle(), "Pelorix Updater (EN)");
    EXPECT_EQ(window.size(), QSize(341, 512));

    auto* button = window.findChild<QPushButton*>("StartUpdateBT");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Run update");
    EXPECT_EQ(button->geometry(), QRect(16, 8, 117, 25));
    // Where the line breaks depends on the system's fonts.
    EXPECT_EQ(window.findChild<QCheckBox*>("UpdateDatabaseOnlyCheck")->text().replace('\n', ' '),
              "Database only");
    EXPECT_EQ(window.findChild<QLabel*>("ShowHistory")->text(), "Historie ansehen!");
    EXPECT_EQ(window.findChild<QLabel*>("Label5")->text(), "Status!");
    EXPECT_EQ(window.findChild<QLabel*>("VersionLBL")->text(), "v 6.15.1");
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->geometry(), QRect(16, 40, 309, 17));
    auto* status = window.findChild<QPlainTextEdit*>("StatusTB");
    EXPECT_EQ(status->geometry(), QRect(16, 88, 309, 409));
    EXPECT_TRUE(status->font().fixedPitch());
}

TEST_F(WindowTest, LocalLabelShowsOnlyWithACommandLine) {
    MainWindow plain(installation(), false, services());
    plain.show();
    EXPECT_FALSE(plain.findChild<QLabel*>("LocalLBL")->isVisible());

    MainWindow local(installation("-/srv/release"), true, services());
    local.show();
    EXPECT_TRUE(local.findChild<QLabel*>("LocalLBL")->isVisible());
    EXPECT_TRUE(local.findChild<QCheckBox*>("UpdateDatabaseOnlyCheck")->isChecked());
    EXPECT_EQ(local.application().form().updateDatabaseOnlyCheck, 1);
}

TEST_F(WindowTest, HistoryLinkStartsTheBrowserWithTheAddressAsOneArgument) {
    MainWindow window(installation(), false, services());
    window.show();
    QLabel* link = window.findChild<QLabel*>("ShowHistory");
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(link, &release);
    ASSERT_EQ(programs.started.size(), 1u);
    const QStringList expected = platform::browserCommand(installation().historyPage);
    EXPECT_EQ(programs.started[0], expected);
    EXPECT_TRUE(expected.last().endsWith("/sources/PX_History.txt"));
}

// While blocking work runs, the window's thread goes on handling its timers (and so its paints),
// and the work's result is there when the call returns.
TEST_F(WindowTest, BlockingWorkRunsOnAnotherThreadWhileTheWindowHandlesItsEvents) {
    MainWindow window(installation(), false, services());
    window.show();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(10);
    std::thread::id workThread;
    bool done = false;
    window.runBlocking([&] {
        workThread = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        done = true;
    });
    EXPECT_TRUE(done);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_GE(ticks, 3);
}

// Answers every message box that opens with Cancel, noting the texts of its buttons.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher() {
        timer_.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QStringList texts;
                for (const QAbstractButton* button : box->buttons()) {
                    texts << button->text();
                }
                texts.sort();
                boxes << texts.join(" | ");
                box->reject();
            }
        });
        timer_.start(5);
    }
    QStringList boxes;

  private:
    QTimer timer_;
};

TEST_F(WindowTest, StatusBoxIsReadOnlyAndTabLeavesIt) {
    MainWindow window(installation(), false, services());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* status = window.findChild<QPlainTextEdit*>("StatusTB");
    status->setFocus();
    ASSERT_TRUE(status->hasFocus());

    QTest::keyClicks(status, "typed");
    QTest::keyClick(status, Qt::Key_Tab);

    EXPECT_EQ(status->toPlainText(), "");
    EXPECT_FALSE(status->hasFocus());
}

// The focused "Update ausführen" is pressed by Enter, Return and Space; each press asks for
// confirmation once.
TEST_F(WindowTest, EnterReturnAndSpacePressTheFocusedButton) {
    MainWindow window(installation(), false, services());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* button = window.findChild<QPushButton*>("StartUpdateBT");
    button->setFocus();
    MessageBoxWatcher watcher;

    for (const Qt::Key key : {Qt::Key_Enter, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(button, key);
    }

    EXPECT_EQ(watcher.boxes.size(), 3);
}

// A German interface gets German button texts, as a German Windows shows them.
TEST_F(WindowTest, MessageBoxButtonsSpeakTheInterfaceLanguage) {
    dir.write("Pelorix/Pelorix.ini",
              test::cp1252("[ServiceSettings]\r\nAppPath=" + dir.file("app") +
                           "\r\n[Settings]\r\nLanguage=DE\r\n"));
    MainWindow window(installation(), false, services());
    MessageBoxWatcher watcher;

    window.showMessage("Frage", MessageButtons::OkCancel);
    window.showMessage("Frage", MessageButtons::YesNo);

    EXPECT_EQ(watcher.boxes, QStringList({"Abbrechen | OK", "&Ja | &Nein"}));
}

// While the confirmation of a run is open, closing the window is refused; after the run it works.
TEST_F(WindowTest, ClosingIsRefusedWhileTheUpdateRuns) {
    MainWindow window(installation(), false, services());
    window.show();
    bool visibleAfterClose = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            poll.stop();
            window.close();
            visibleAfterClose = window.isVisible();
            box->close();  // Cancel
        }
    });
    poll.start(5);

    EXPECT_EQ(window.application().pressUpdate(), RunOutcome::Cancelled);

    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace pelorix::app::window
