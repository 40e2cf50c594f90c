#include "platform/special_folders.h"

#include "platform/environment.h"

#include <QFileInfo>

namespace pelorix::platform {

namespace {

// A variable that is set but empty stands for a lookup that failed.
QString folderFromEnvironment(const Environment& environment, const QString& variable,
                              const QString& fallback) {
    return environment.find(variable).value_or(fallback);
}

QString ownExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

}  // namespace

QString GetSpecialFolder(const Environment& environment, int folderNumber) {
    switch (folderNumber) {
        case kCommonAppData:
            return folderFromEnvironment(environment, QStringLiteral("PELORIX_COMMON_APPDATA"),
                                         QStringLiteral("/var/lib"));
        case kSystemFolder:
            return folderFromEnvironment(environment, QStringLiteral("PELORIX_SYSTEM_FOLDER"),
                                         QStringLiteral("/usr/local/lib"));
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
