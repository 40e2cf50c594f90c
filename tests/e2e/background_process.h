#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

namespace pelorix::e2e {

// A stand-in that runs beside the updater for the length of a test (supervisor, update server,
// a program posing as the main program). It is ended when the object goes.
class BackgroundProcess {
  public:
    BackgroundProcess(
        const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // Waits for a line of standard output that begins with `prefix`; gives the rest of it.
    std::optional<QString> waitForLine(const QString& prefix,
                                       std::chrono::milliseconds limit = std::chrono::seconds(10));
    bool isRunning() const;
    qint64 pid() const { return process_->processId(); }
    // Everything it has written so far, both channels.
    QString output();
    // SIGTERM, then SIGKILL when it does not end at once.
    void stop();

  private:
    void collect();

    std::unique_ptr<QProcess> process_;
    QByteArray output_;
};

}  // namespace pelorix::e2e
