#include "x_session.h"

#include "build_paths.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace pelorix::e2e {

namespace {

QString driverExecutable() {
    return toolExecutable("window-driver", "pelorix-window-driver");
}

}  // namespace

bool XSession::available(QString& missing) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        missing = "Xvfb";
        return false;
    }
    if (!QFileInfo(driverExecutable()).isExecutable()) {
        missing = driverExecutable();
        return false;
    }
    return true;
}

XSession::XSession() {
    // -displayfd 1: the server takes a free display and writes its number on standard output.
    server_ = std::make_unique<BackgroundProcess>(
        "Xvfb", QStringList{"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    static const QRegularExpression number(R"(^(\d+)$)", QRegularExpression::MultilineOption);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && server_->isRunning()) {
        const auto match = number.match(server_->output());
        if (match.hasMatch()) {
            display_ = ":" + match.captured(1);
            return;
        }
        QThread::msleep(20);
    }
}

bool XSession::drive(const QStringList& arguments, QString* output) const {
    QProcess driver;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    driver.setProcessEnvironment(environment);
    driver.start(driverExecutable(), arguments);
    const bool done = driver.waitForFinished(10000) &&
                      driver.exitStatus() == QProcess::NormalExit && driver.exitCode() == 0;
    if (output != nullptr) {
        *output = QString::fromUtf8(driver.readAllStandardOutput());
    }
    return done;
}

std::vector<ShownWindow> XSession::windows() const {
    QString listing;
    std::vector<ShownWindow> shown;
    if (!drive({"windows"}, &listing)) {
        return shown;
    }
    for (const QString& line : listing.split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ');
        if (fields.size() >= 5) {
            shown.push_back({fields[0].toUInt(), fields[1].toInt(), fields[2].toInt(),
                             fields[3].toInt(), fields[4].toInt(), line.section(' ', 5)});
        }
    }
    return shown;
}

std::optional<ShownWindow> XSession::waitForWindow(
    const std::function<bool(const ShownWindow&)>& matches, std::chrono::milliseconds limit) const {
    const QDeadlineTimer deadline(limit);
    do {
        for (const ShownWindow& window : windows()) {
            if (matches(window)) {
                return window;
            }
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return std::nullopt;
}

bool XSession::click(int x, int y) const {
    return drive({"click", QString::number(x), QString::number(y)});
}

bool XSession::pressKey(const ShownWindow& window, const QString& key) const {
    return drive({"key", QString::number(window.id), key});
}

bool XSession::close(const ShownWindow& window) const {
    return drive({"close", QString::number(window.id)});
}

bool XSession::screenshot(const QString& file) const {
    return drive({"screenshot", file});
}

}  // namespace pelorix::e2e

namespace pelorix::e2e {

bool XSession::cover(const ShownWindow& window, std::chrono::milliseconds duration) const {
    return drive({"cover", QString::number(window.x), QString::number(window.y),
                  QString::number(window.width), QString::number(window.height),
                  QString::number(duration.count())});
}

}  // namespace pelorix::e2e
