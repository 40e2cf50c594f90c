#include "platform/database/odbc_no_create.h"

#include "platform/database/connection_string.h"

#include <algorithm>
#include <optional>

namespace pelorix::platform {

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> valueOf(const ConnectionPairs& pairs, QLatin1String keyword) {
    const auto found = std::find_if(pairs.begin(), pairs.end(), [&](const auto& pair) {
        return pair.first.compare(keyword, Qt::CaseInsensitive) == 0;
    });
    return found == pairs.end() ? std::nullopt : std::optional<QString>(found->second);
}

bool mayReachSqliteDriver(const ConnectionPairs& pairs) {
    const std::optional<QString> driver = valueOf(pairs, "Driver"_L1);
    return driver ? driver->contains("sqlite"_L1, Qt::CaseInsensitive)
                  : valueOf(pairs, "DSN"_L1) || valueOf(pairs, "FileDSN"_L1);
}

}  // namespace

QString withoutDatabaseCreation(const QString& odbcString) {
    const ConnectionPairs pairs = parseConnectionString(odbcString);
    if (valueOf(pairs, "NoCreat"_L1) || !mayReachSqliteDriver(pairs)) {
        return odbcString;
    }
    const bool ended = odbcString.trimmed().endsWith(u';') || odbcString.trimmed().isEmpty();
    return odbcString + (ended ? u"NoCreat=1"_s : u";NoCreat=1"_s);
}

}  // namespace pelorix::platform
