#pragma once

#include <QString>

namespace pelorix::files {

// Where the files of a release come from, decided from the program's command line.
struct DownloadSource {
    bool isLocal = false;
    // The folder the files are taken from in local mode; may be empty (the root) or relative.
    QString localFolder;
};

// "-" followed by a folder selects that folder; when the text after "-" contains "local"
// (exact case) anywhere, the updater's own folder. Anything else means the update server.
DownloadSource downloadSourceFor(const QString& commandLine, const QString& ownFolder);

}  // namespace pelorix::files
