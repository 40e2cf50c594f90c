#include "sqlite_shell.h"

#include <QElapsedTimer>
#include <QProcess>

namespace pelorix::bench {

std::optional<std::chrono::nanoseconds> timeSqliteShell(const QString& databaseFile,
                                                        const QStringList& statements) {
    QByteArray script;
    for (const QString& statement : statements) {
        script += statement.toUtf8() + ";\n";
    }
    QProcess shell;
    shell.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    shell.start("sqlite3", {databaseFile});
    if (!shell.waitForStarted(10000)) {
        return std::nullopt;
    }
    shell.write(script);
    shell.closeWriteChannel();
    if (!shell.waitForFinished(60000) || shell.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return std::chrono::nanoseconds(timer.nsecsElapsed());
}

}  // namespace pelorix::bench
