#include "app/console/console_ui.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace pelorix::app {
namespace {

// Escape sequences from the language file would be executed by the administrator's terminal;
// a pipe gets the text exactly as shown.
TEST(ConsoleUiTerminalTest, ControlCharactersBecomeReplacementsOnATerminalOnly) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios mode{};
    ::tcgetattr(slave, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(slave, TCSANOW, &mode);
    FILE* terminal = ::fdopen(slave, "w");
    FILE* pipe = std::tmpfile();
    const QString hostile =
        QString("Beende\x1b]0;owned\x07 den") + QChar(0x9B) + "2J Dienst\tx\r\n";

    ConsoleUi(false, false, terminal, pipe).showMessage(hostile, MessageButtons::Ok);
    ConsoleUi(false, false, terminal, pipe).statusTextChanged(hostile);
    std::fclose(terminal);

    QByteArray shown(4096, '\0');
    shown.truncate(::read(master, shown.data(), shown.size()));
    ::close(master);
    const QString clean = QString(
        "Beende\uFFFD]0;owned\uFFFD den\uFFFD"
        "2J Dienst\uFFFDx\n");
    EXPECT_EQ(QString::fromUtf8(shown), clean);
    std::rewind(pipe);
    char piped[256] = {};
    EXPECT_EQ(QString::fromUtf8(piped, static_cast<qsizetype>(std::fread(piped, 1, 255, pipe))),
              withNewlines(hostile) + "\n\n");
    std::fclose(pipe);
}

}  // namespace
}  // namespace pelorix::app
