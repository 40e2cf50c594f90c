#include "app/registrar.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace pelorix::app {

namespace {
const QString kRegistrarName = QStringLiteral("regsvr32");
}

QString findRegistrar(const QString& ownFolder) {
    const QString onPath = QStandardPaths::findExecutable(kRegistrarName);
    if (!onPath.isEmpty()) {
        return onPath;
    }
    if (!ownFolder.isEmpty()) {
        const QFileInfo beside(ownFolder + "/" + kRegistrarName);
        if (beside.isFile() && beside.isExecutable()) {
            return beside.filePath();
        }
    }
    return kRegistrarName;
}

}  // namespace pelorix::app
