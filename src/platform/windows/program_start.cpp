#include "platform/program_start.h"

#include "platform/windows/command_line_quoting.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/win32_error.h"

#include <QDir>

#include <windows.h>

#include <memory>
#include <vector>

namespace pelorix::platform {

namespace {

// The handles of a started program, closed with it.
struct StartedProgram {
    explicit StartedProgram(const PROCESS_INFORMATION& started)
        : process(started.hProcess), thread(started.hThread) {}
    OwnedHandle process;
    OwnedHandle thread;
};

// Without an application name CreateProcessW searches the program's own folder, the system
// folders and PATH, and adds ".exe", as a shell would; a full path is used as it is.
Fallible<std::unique_ptr<StartedProgram>> launch(const QStringList& argv, WORD showWindow) {
    if (argv.isEmpty() || argv.front().isEmpty()) {
        return Outcome::failure(QStringLiteral("no program named"));
    }
    QStringList native = argv;
    native.front() = QDir::toNativeSeparators(native.front());
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    const QString commandLine = commandLineOf(native);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(commandLine.size()) + 1, L'\0');
    commandLine.toWCharArray(buffer.data());

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION started{};
    // No handle is inherited: the lock file of the run must not outlive it in a child.
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return Outcome::failure(lastErrorText());
    }
    return std::make_unique<StartedProgram>(started);
}

class Win32ProgramStarter final : public ProgramStarter {
  public:
    Outcome start(const QStringList& argv) override {
        const auto program = launch(argv, SW_SHOWNORMAL);
        return program ? Outcome::success() : Outcome::failure(program.reason());
    }

    // What is awaited (the registrar) works unseen.
    Fallible<int> runToEnd(const QStringList& argv) override {
        const auto program = launch(argv, SW_HIDE);
        if (!program) {
            return Outcome::failure(program.reason());
        }
        const HANDLE process = (*program)->process.get();
        DWORD exitCode = 0;
        if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process, &exitCode)) {
            return Outcome::failure(lastErrorText());
        }
        return static_cast<int>(exitCode);
    }
};

}  // namespace

ProgramStarter& defaultProgramStarter() {
    static Win32ProgramStarter starter;
    return starter;
}

}  // namespace pelorix::platform
