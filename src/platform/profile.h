#pragma once

#include <QString>

namespace pelorix::platform {

// Profile (INI) files with the semantics of the Windows profile functions; see profile.cpp.
// The value read is cut to 1023 characters, as a 1024-character buffer holds.
QString ReadIni(const QString& file, const QString& section, const QString& key,
                const QString& defaultValue);
void WriteIni(const QString& file, const QString& section, const QString& key,
              const QString& value);

}  // namespace pelorix::platform
