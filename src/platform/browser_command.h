#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::platform {

// The command that opens an address (a web page or a local file) in the user's browser.
QStringList browserCommand(const QString& address);

}  // namespace pelorix::platform
