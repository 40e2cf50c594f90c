#include "background_process.h"

#include <QDeadlineTimer>

namespace pelorix::e2e {

namespace {
constexpr int kStopGraceMs = 3000;
}

BackgroundProcess::BackgroundProcess(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment)
    : process_(std::make_unique<QProcess>()) {
    process_->setProcessEnvironment(environment);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(program, arguments);
    process_->waitForStarted();
}

BackgroundProcess::~BackgroundProcess() {
    stop();
}

void BackgroundProcess::collect() {
    if (process_->state() == QProcess::Running) {
        process_->waitForReadyRead(0);  // takes in what is there, without an event loop
    }
    output_ += process_->readAll();
}

std::optional<QString> BackgroundProcess::waitForLine(const QString& prefix,
                                                      std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    for (;;) {
        collect();
        for (const QByteArray& line : output_.split('\n')) {
            const QString text = QString::fromUtf8(line);
            if (text.startsWith(prefix) && output_.contains(line + '\n')) {
                return text.mid(prefix.size());
            }
        }
        if (deadline.hasExpired() || process_->state() != QProcess::Running) {
            return std::nullopt;
        }
        process_->waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
}

bool BackgroundProcess::isRunning() const {
    return process_->state() == QProcess::Running;
}

QString BackgroundProcess::output() {
    collect();
    return QString::fromUtf8(output_);
}

void BackgroundProcess::stop() {
    if (process_->state() == QProcess::NotRunning) {
        return;
    }
    process_->terminate();
    if (!process_->waitForFinished(kStopGraceMs)) {
        process_->kill();
        process_->waitForFinished(kStopGraceMs);
    }
    collect();
}

}  // namespace pelorix::e2e
