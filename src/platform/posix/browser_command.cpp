#include "platform/browser_command.h"

namespace pelorix::platform {

QStringList browserCommand(const QString& address) {
    return {QStringLiteral("xdg-open"), address};
}

}  // namespace pelorix::platform
