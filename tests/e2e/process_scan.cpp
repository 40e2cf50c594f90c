#include "process_scan.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>

#include <unistd.h>

namespace pelorix::e2e {

QList<qint64> processesMentioning(const QString& text) {
    const QByteArray needle = QFile::encodeName(text);
    QList<qint64> found;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == ::getpid()) {
            continue;
        }
        QFile commandLine("/proc/" + entry + "/cmdline");
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(needle)) {
            found << pid;
        }
    }
    return found;
}

QStringList mainProgramLookalikes() {
    QStringList found;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + entry + "/stat");
        QFile commandLine("/proc/" + entry + "/cmdline");
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString status = QString::fromUtf8(stat.readAll());
        commandLine.open(QIODevice::ReadOnly);
        const QString arguments = QString::fromUtf8(commandLine.readAll()).replace('\0', ' ');
        const QString name = status.section('(', 1).section(')', 0, 0);
        const QString program = arguments.section(' ', 0, 0);
        if (name.endsWith("pelorix.exe", Qt::CaseInsensitive) ||
            program.endsWith("pelorix.exe", Qt::CaseInsensitive)) {
            found << status.section(' ', 0, 0) + " " + status.section(") ", 1).left(1) + " " +
                         name + " " + arguments;
        }
    }
    return found;
}

bool endProcessesMentioning(const QString& text) {
    const QDeadlineTimer deadline(5000);
    for (;;) {
        const QList<qint64> processes = processesMentioning(text);
        if (processes.isEmpty()) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        for (qint64 pid : processes) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        QThread::msleep(10);
    }
}

}  // namespace pelorix::e2e
