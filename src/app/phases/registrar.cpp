#include "app/phases/registrar.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pelorix::app {

namespace {

const QString kRegistrarName = QStringLiteral("regsvr32");
// The package keeps its registrar out of the search path: Wine's regsvr32 owns that name there,
// and, as the package installs the updater into /usr/bin, beside the updater as well.
const QString kPrivateFolderFromOwnFolder = QStringLiteral("/../lib/pelorix-updater");

bool isRunnableFile(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

}  // namespace

QString findRegistrar(const QString& privateProgramFolder, const QString& ownFolder) {
    for (const QString& folder : {privateProgramFolder, ownFolder}) {
        const QString candidate = folder + "/" + kRegistrarName;
        if (!folder.isEmpty() && isRunnableFile(candidate)) {
            return candidate;
        }
    }
    const QString onPath = QStandardPaths::findExecutable(kRegistrarName);
    return onPath.isEmpty() ? kRegistrarName : onPath;
}

}  // namespace pelorix::app
