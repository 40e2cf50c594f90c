#include "updater_process.h"

#include <QThread>

namespace pelorix::e2e {

namespace {

// A Windows program ends its lines with CR LF; the expected texts end them with LF.
QString lines(const QByteArray& output) {
    return QString::fromUtf8(output).replace("\r\n", "\n");
}

}  // namespace

UpdaterProcess::UpdaterProcess(const QString& executable, const QStringList& arguments,
                               const QProcessEnvironment& environment, const QString& errorFile,
                               std::unique_ptr<test::RunLock> lock)
    : lock_(std::move(lock)),
      process_(std::make_unique<QProcess>()),
      started_(std::chrono::steady_clock::now()) {
    process_->setProcessEnvironment(environment);
    process_->setStandardInputFile(QProcess::nullDevice());
    if (!errorFile.isEmpty()) {
        process_->setStandardErrorFile(errorFile);
    }
    process_->start(executable, arguments);
    process_->waitForStarted();
}

UpdaterProcess::~UpdaterProcess() {
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished();
    }
}

QString UpdaterProcess::outputSoFar() {
    process_->waitForReadyRead(0);
    out_ += process_->readAllStandardOutput();
    return lines(out_);
}

bool UpdaterProcess::waitForOutput(const QString& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!outputSoFar().contains(text)) {
        if (!isRunning() || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

RunResult UpdaterProcess::wait(std::chrono::milliseconds limit) {
    RunResult result;
    // waitForFinished answers false for a process that has already ended.
    result.finished = process_->state() == QProcess::NotRunning ||
                      process_->waitForFinished(static_cast<int>(limit.count()));
    if (!result.finished) {
        process_->kill();
        process_->waitForFinished();
    }
    result.exitStatus = process_->exitStatus() == QProcess::NormalExit && result.finished
                            ? process_->exitCode()
                            : -1;
    out_ += process_->readAllStandardOutput();
    result.out = lines(out_);
    result.err = lines(process_->readAllStandardError());
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    return result;
}

}  // namespace pelorix::e2e
