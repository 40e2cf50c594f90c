#include "platform/process_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace pelorix::platform {

namespace {

QString baseName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return path.mid(cut + 1);
}

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
}

// The names a process goes by: its executable, its command name and its first argument (a
// program under Wine shows its Windows name only there).
std::vector<QString> namesOf(const QString& procDir) {
    std::vector<QString> names;
    const QString executable = QFileInfo(procDir + "/exe").symLinkTarget();
    if (!executable.isEmpty()) {
        names.push_back(baseName(executable));
    }
    const QString command = QString::fromLocal8Bit(readSmallFile(procDir + "/comm")).trimmed();
    // The kernel cuts the command name to 15 characters; only a shorter one is the whole name.
    if (!command.isEmpty() && command.size() < 15) {
        names.push_back(command);
    }
    const QByteArray cmdline = readSmallFile(procDir + "/cmdline");
    const QString firstArgument = QString::fromLocal8Bit(cmdline.left(cmdline.indexOf('\0')));
    if (!firstArgument.isEmpty()) {
        names.push_back(baseName(firstArgument));
    }
    return names;
}

// A process that has ended but is not yet reaped by its parent (a zombie) still has an entry in
// /proc, under its old names; it runs no more, so it must not block the update.
bool hasEnded(const QString& procDir) {
    const QByteArray stat = readSmallFile(procDir + "/stat");
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0 || nameEnd + 2 >= stat.size()) {
        return true;  // gone meanwhile
    }
    const char state = stat.at(nameEnd + 2);
    return state == 'Z' || state == 'X' || state == 'x';
}

class ProcProcessTable final : public ProcessTable {
  public:
    std::vector<ProcessEntry> snapshot() const override {
        std::vector<ProcessEntry> entries;
        const QStringList pids = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& name : pids) {
            bool isNumber = false;
            const long long pid = name.toLongLong(&isNumber);
            if (isNumber && !hasEnded("/proc/" + name)) {
                entries.push_back({pid, namesOf("/proc/" + name)});
            }
        }
        return entries;
    }

    bool terminate(long long pid, int /*exitCode*/) override {
        return pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
    }
};

}  // namespace

ProcessTable& defaultProcessTable() {
    static ProcProcessTable table;
    return table;
}

}  // namespace pelorix::platform
