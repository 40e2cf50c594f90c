#pragma once

#include <QString>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::files {

// Removes a folder with everything in it. What cannot be removed (read-only, hidden and system
// files, files in use, and every folder above them) stays, and nothing is reported. One trailing
// "/" or "\" is accepted. An empty path is refused: it would name the root.
void RemoveFolder(platform::FileSystem& files, QString path);

}  // namespace pelorix::files
