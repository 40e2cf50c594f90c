#pragma once

#include "support/run_lock.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

namespace pelorix::e2e {

// What one run of the updater left: its exit status and both output channels as text, lines
// ended by LF.
struct RunResult {
    bool finished = false;  // false: it was killed at the time limit
    int exitStatus = -1;
    QString out;
    QString err;
    std::chrono::milliseconds elapsed{0};
};

// One run of the built updater in the background, so that a test can act while it runs.
class UpdaterProcess {
  public:
    // Standard error goes to `errorFile` (for instance a FIFO) instead of a pipe when given.
    // `lock` (if any) is held until the object goes.
    UpdaterProcess(const QString& executable, const QStringList& arguments,
                   const QProcessEnvironment& environment, const QString& errorFile = {},
                   std::unique_ptr<test::RunLock> lock = nullptr);
    ~UpdaterProcess();
    UpdaterProcess(const UpdaterProcess&) = delete;
    UpdaterProcess& operator=(const UpdaterProcess&) = delete;

    qint64 pid() const { return process_->processId(); }
    bool isRunning() const { return process_->state() == QProcess::Running; }
    // Standard output so far.
    QString outputSoFar();
    // Waits until standard output contains `text`; false when the run ended, or the limit
    // passed, before it did.
    bool waitForOutput(const QString& text, std::chrono::milliseconds limit);
    // Waits for the end; kills the updater when it runs past the limit.
    RunResult wait(std::chrono::milliseconds limit);
    // True once the updater has ended by itself within the limit; it is left running otherwise.
    bool exitsWithin(std::chrono::milliseconds limit) {
        return process_->waitForFinished(static_cast<int>(limit.count()));
    }

  private:
    std::unique_ptr<test::RunLock> lock_;
    std::unique_ptr<QProcess> process_;
    QByteArray out_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace pelorix::e2e
