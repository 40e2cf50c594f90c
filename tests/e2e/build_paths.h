#pragma once

#include <QString>

namespace pelorix::e2e {

// The built updater and the stand-ins of tools/, and files of the source tree.
QString updaterExecutable();
// tools/<folder>/<name> of the build: pelorix-supervisor, pelorix-update-server, regsvr32, ...
QString toolExecutable(const QString& folder, const QString& name);
QString sourceFile(const QString& relative);
// Where the window test leaves its pictures.
QString screenshotFolder();

}  // namespace pelorix::e2e
