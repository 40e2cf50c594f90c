#pragma once

#include <QString>

namespace pelorix::platform {
class Environment;
}

namespace pelorix::app {

// The release files' area on the update server, without a trailing "/":
// "http://updates.pelorix.example/Updater", or $PELORIX_UPDATE_SERVER when that is set and not
// empty (staging mirrors, the demo, tests).
QString updateServerBase(const platform::Environment& environment);

// The release history on the same scheme and host as the base: "/sources/PX_History.txt".
QString historyPageAddress(const QString& updateServerBase);

}  // namespace pelorix::app
