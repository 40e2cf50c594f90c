#pragma once

#include <QString>

namespace pelorix::platform {

class FileSystem;
class ProfileDocument;

// Profile (INI) files with the semantics of the Windows profile functions; see profile.cpp.
// The value read is cut to 1023 characters, as a 1024-character buffer holds.
QString ReadIni(const FileSystem& files, const QString& file, const QString& section,
                const QString& key, const QString& defaultValue);
// The same answer from a file already read; nullptr for a file that could not be read.
QString ReadIni(const ProfileDocument* document, const QString& section, const QString& key,
                const QString& defaultValue);
void WriteIni(FileSystem& files, const QString& file, const QString& section, const QString& key,
              const QString& value);
// How many times WriteIni has written a file in this process.
quint64 profileWriteCount();

}  // namespace pelorix::platform
