#include "app/program/packaged_log_folder.h"

// Set for this file alone by the build (PELORIX_LOG_FOLDER), so that changing it rebuilds little.
#ifndef PELORIX_LOG_FOLDER
#define PELORIX_LOG_FOLDER ""
#endif

namespace pelorix::app {

QString packagedLogFolder() {
    return QString::fromUtf8(PELORIX_LOG_FOLDER);
}

}  // namespace pelorix::app
