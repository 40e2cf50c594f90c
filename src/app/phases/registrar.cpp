#include "app/phases/registrar.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pelorix::app {

namespace {

const QString kRegistrarName = QStringLiteral("regsvr32");
// The package keeps its registrar out of the search path: Wine's regsvr32 owns that name there.
const QString kPrivateFolderFromOwnFolder = QStringLiteral("/../lib/pelorix-updater");

bool isRunnableFile(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

}  // namespace

QString privateProgramFolder(const QString& ownFolder) {
    return QDir::cleanPath(ownFolder + kPrivateFolderFromOwnFolder);
}

QString findRegistrar(const QString& ownFolder) {
    if (!ownFolder.isEmpty()) {
        for (const QString& folder : {ownFolder, privateProgramFolder(ownFolder)}) {
            const QString candidate = folder + "/" + kRegistrarName;
            if (isRunnableFile(candidate)) {
                return candidate;
            }
        }
    }
    const QString onPath = QStandardPaths::findExecutable(kRegistrarName);
    return onPath.isEmpty() ? kRegistrarName : onPath;
}

}  // namespace pelorix::app
