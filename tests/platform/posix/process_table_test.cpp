#include "platform/process_table.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include <spawn.h>
#include <sys/wait.h>

namespace pelorix::platform {
namespace {

bool listed(long long pid) {
    for (const ProcessEntry& entry : defaultProcessTable().snapshot()) {
        if (entry.pid == pid) {
            return true;
        }
    }
    return false;
}

char processState(pid_t pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype nameEnd = text.lastIndexOf(')');
    return nameEnd >= 0 && nameEnd + 2 < text.size() ? text.at(nameEnd + 2) : '?';
}

// A program that has ended but whose parent has not reaped it yet (a zombie) keeps its /proc
// entry and its name; it must not count as running, or it would block an update.
TEST(ProcessTableTest, AProcessThatHasEndedIsNotListedBeforeItIsReaped) {
    test::TempDir dir;
    const QString program = dir.file("EndedPelorix.exe");
    ASSERT_TRUE(QFile::copy("/bin/true", program));
    const QByteArray path = QFile::encodeName(program);
    char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, nullptr), 0);
    for (int i = 0; i < 500 && processState(pid) != 'Z'; ++i) {
        QThread::msleep(10);
    }
    ASSERT_EQ(processState(pid), 'Z');

    EXPECT_FALSE(listed(pid));

    ::waitpid(pid, nullptr, 0);
}

TEST(ProcessTableTest, ARunningProcessIsListedUnderItsNames) {
    test::TempDir dir;
    const QString program = dir.file("RunningPelorix.exe");
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    const QByteArray path = QFile::encodeName(program);
    char seconds[] = "30";
    char* const argv[] = {const_cast<char*>(path.constData()), seconds, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, nullptr), 0);

    bool found = false;
    for (const ProcessEntry& entry : defaultProcessTable().snapshot()) {
        found = found || (entry.pid == pid && std::find(entry.names.begin(), entry.names.end(),
                                                        "RunningPelorix.exe") != entry.names.end());
    }
    EXPECT_TRUE(found);

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace
}  // namespace pelorix::platform
