#include "platform/browser_command.h"

namespace pelorix::platform {

// Explorer hands an address to the browser the user chose, as a double-click on a link would.
QStringList browserCommand(const QString& address) {
    return {QStringLiteral("explorer.exe"), address};
}

}  // namespace pelorix::platform
