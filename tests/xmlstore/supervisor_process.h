#pragma once

#include "support/test_environment.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <signal.h>

namespace pelorix::test {

// The stand-in supervising service, started for a test and ended with SIGTERM.
class SupervisorProcess {
  public:
    static QString binary() { return toolPath("supervisor/pelorix-supervisor"); }

    // True once it printed "ready", that is, once it watches the document.
    bool start(const QStringList& arguments) {
        process_.start(binary(), arguments);
        while (process_.waitForReadyRead(5000)) {
            if (process_.readAllStandardOutput().contains("ready\n")) {
                return true;
            }
        }
        return false;
    }

    // Sends SIGTERM; the exit status, or -1 when it did not end in time.
    int stop() {
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
            return -1;
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    ~SupervisorProcess() {
        if (process_.state() != QProcess::NotRunning) {
            stop();
        }
    }

    QString errorOutput() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

  private:
    QProcess process_;
};

}  // namespace pelorix::test
