#include "platform/command_line_arguments.h"

#include <QString>

#include <windows.h>

#include <shellapi.h>

namespace pelorix::platform {

// The ANSI argv holds only what the code page can; the wide command line holds every name.
QStringList commandLineArguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    if (words == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments << QString::fromWCharArray(words[i]);
    }
    LocalFree(words);
    return arguments;
}

}  // namespace pelorix::platform
