#include "platform/process_table.h"

#include <QThread>

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace pelorix::platform {
namespace {

bool listedAs(long long pid, const QString& name) {
    for (const ProcessEntry& entry : defaultProcessTable().snapshot()) {
        if (entry.pid == pid) {
            return std::find(entry.names.begin(), entry.names.end(), name) != entry.names.end();
        }
    }
    return false;
}

// A program that waits until it is ended, started unseen.
PROCESS_INFORMATION startWaitingProgram() {
    wchar_t commandLine[] = L"notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &started);
    return started;
}

TEST(ProcessTableTest, ARunningProcessIsListedByItsExecutableAndEndsWithTheGivenStatus) {
    const PROCESS_INFORMATION started = startWaitingProgram();
    ASSERT_NE(started.hProcess, nullptr);
    const long long pid = started.dwProcessId;

    EXPECT_TRUE(listedAs(pid, "notepad.exe"));
    EXPECT_TRUE(defaultProcessTable().terminate(pid, 7));

    EXPECT_EQ(WaitForSingleObject(started.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeProcess(started.hProcess, &exitCode));
    EXPECT_EQ(exitCode, 7u);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    for (int i = 0; i < 100 && listedAs(pid, "notepad.exe"); ++i) {
        QThread::msleep(10);
    }
    EXPECT_FALSE(listedAs(pid, "notepad.exe"));
    EXPECT_FALSE(defaultProcessTable().terminate(0, 1));
}

}  // namespace
}  // namespace pelorix::platform
