#pragma once

#include <QString>
#include <QtGlobal>

namespace pelorix::platform {

class FileSystem;

// What tells one state of a file on disk from the next without reading it: a write changes its
// size or its modification time, a replacement (a rename over it) its identity.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0;
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file the path names (resolved without regard to case).
FileStamp fileStamp(const FileSystem& files, const QString& path);

}  // namespace pelorix::platform
