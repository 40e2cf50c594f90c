#include "platform/special_folders.h"

#include <QFileInfo>

namespace pelorix::platform {

namespace {

// A variable that is set but empty stands for a lookup that failed.
QString folderFromEnvironment(const char* variable, const QString& fallback) {
    if (!qEnvironmentVariableIsSet(variable)) {
        return fallback;
    }
    return qEnvironmentVariable(variable);
}

QString ownExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

}  // namespace

QString GetSpecialFolder(int folderNumber) {
    switch (folderNumber) {
        case kCommonAppData:
            return folderFromEnvironment("PELORIX_COMMON_APPDATA", QStringLiteral("/var/lib"));
        case kSystemFolder:
            return folderFromEnvironment("PELORIX_SYSTEM_FOLDER", QStringLiteral("/usr/local/lib"));
        default:
            return {};
    }
}

QString ownFolder() {
    return QFileInfo(ownExecutablePath()).absolutePath();
}

QString ownExecutableName() {
    return QFileInfo(ownExecutablePath()).fileName();
}

}  // namespace pelorix::platform
