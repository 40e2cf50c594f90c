#pragma once

#include <QString>

namespace pelorix::app {

// The release files' area on the update server, without a trailing "/":
// "http://updates.pelorix.example/Updater", or $PELORIX_UPDATE_SERVER when that is set and not
// empty (staging mirrors, the demo, tests).
QString updateServerBase();

// The release history on the same scheme and host: "/sources/PX_History.txt".
QString historyPageAddress();

}  // namespace pelorix::app
