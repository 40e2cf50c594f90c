#include "files/download_source.h"

namespace pelorix::files {

DownloadSource downloadSourceFor(const QString& commandLine, const QString& ownFolder) {
    if (!commandLine.startsWith(QLatin1Char('-'))) {
        return {};
    }
    const QString rest = commandLine.mid(1);
    const bool meansOwnFolder = rest.contains(QLatin1String("local"), Qt::CaseSensitive);
    return {true, meansOwnFolder ? ownFolder : rest};
}

}  // namespace pelorix::files
