#include "build_paths.h"

namespace pelorix::e2e {

namespace {

QString toolsFolder() {
    const QString configured = qEnvironmentVariable("PELORIX_TOOLS_DIR");
    return configured.isEmpty() ? QStringLiteral(PELORIX_BINARY_DIR "/tools") : configured;
}

}  // namespace

QString updaterExecutable() {
    return QStringLiteral(PELORIX_BINARY_DIR "/PelorixUpdater");
}

QString toolExecutable(const QString& folder, const QString& name) {
    return toolsFolder() + "/" + folder + "/" + name;
}

QString sourceFile(const QString& relative) {
    return QStringLiteral(PELORIX_SOURCE_DIR "/") + relative;
}

QString screenshotFolder() {
    return QStringLiteral(PELORIX_BINARY_DIR "/screenshots");
}

}  // namespace pelorix::e2e
