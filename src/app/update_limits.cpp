#include "app/update_limits.h"

#include <QByteArray>
#include <QtGlobal>

namespace pelorix::app {

namespace {

// A positive whole number of seconds from the environment, or `fallback`.
int secondsFromEnvironment(const char* name, int fallback) {
    bool valid = false;
    const int seconds = qEnvironmentVariableIntValue(name, &valid);
    return valid && seconds > 0 ? seconds : fallback;
}

// A positive whole number from the environment, or `fallback`.
qint64 numberFromEnvironment(const char* name, qint64 fallback) {
    bool valid = false;
    const qint64 number = qEnvironmentVariable(name).toLongLong(&valid);
    return valid && number > 0 ? number : fallback;
}

}  // namespace

UpdateLimits updateLimitsFromEnvironment() {
    const UpdateLimits defaults;
    UpdateLimits limits;
    limits.stopTimeoutSeconds =
        secondsFromEnvironment("PELORIX_STOP_TIMEOUT_SECONDS", defaults.stopTimeoutSeconds);
    limits.downloadStall = std::chrono::seconds(secondsFromEnvironment(
        "PELORIX_DOWNLOAD_STALL_SECONDS", static_cast<int>(defaults.downloadStall.count())));
    limits.database.statementTimeout = std::chrono::seconds(
        secondsFromEnvironment("PELORIX_DB_STATEMENT_TIMEOUT_SECONDS",
                               static_cast<int>(defaults.database.statementTimeout.count())));
    limits.database.connectTimeout = std::chrono::seconds(
        secondsFromEnvironment("PELORIX_DB_CONNECT_TIMEOUT_SECONDS",
                               static_cast<int>(defaults.database.connectTimeout.count())));
    limits.downloadTotalTime = std::chrono::seconds(
        secondsFromEnvironment("PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS",
                               static_cast<int>(defaults.downloadTotalTime.count())));
    limits.downloadMaximumBytes =
        numberFromEnvironment("PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", defaults.downloadMaximumBytes);
    limits.releaseKeyPath = qEnvironmentVariable("PELORIX_RELEASE_KEY");
    return limits;
}

}  // namespace pelorix::app
