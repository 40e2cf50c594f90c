#include "platform/browser_command.h"

namespace pelorix::platform {

// The shell's own handler for addresses picks the browser the user chose, as a double-click on
// a link would.
QStringList browserCommand(const QString& address) {
    return {QStringLiteral("rundll32.exe"), QStringLiteral("url.dll,FileProtocolHandler"), address};
}

}  // namespace pelorix::platform
