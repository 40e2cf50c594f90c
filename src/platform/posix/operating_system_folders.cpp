#include "platform/operating_system_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace pelorix::platform {

namespace {

const QStringList kOperatingSystemFolders{"/",
                                          "/bin",
                                          "/sbin",
                                          "/lib",
                                          "/lib64",
                                          "/usr",
                                          "/usr/bin",
                                          "/usr/sbin",
                                          "/usr/lib",
                                          "/usr/lib64",
                                          "/usr/libexec",
                                          "/usr/share",
                                          "/usr/local",
                                          "/etc",
                                          "/boot",
                                          "/usr/local/bin",
                                          "/usr/local/sbin",
                                          "/var",
                                          "/var/lib",
                                          "/dev",
                                          "/proc",
                                          "/sys"};

}  // namespace

// Through links as well: /bin is /usr/bin on a merged system.
bool isOperatingSystemFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) {
        return true;  // every file would be a file of the root
    }
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const QString& candidate : {QDir::cleanPath(folder), canonical}) {
        if (kOperatingSystemFolders.contains(candidate)) {
            return true;
        }
    }
    return false;
}

}  // namespace pelorix::platform
