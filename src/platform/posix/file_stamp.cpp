#include "platform/file_stamp.h"

#include "platform/file_system.h"

#include <QFile>

#include <sys/stat.h>

namespace pelorix::platform {

FileStamp fileStamp(const FileSystem& files, const QString& path) {
    struct stat status {};
    const QByteArray native = QFile::encodeName(files.resolve(path));
    if (::stat(native.constData(), &status) != 0) {
        return {};
    }
    constexpr qint64 kNanosecondsPerSecond = 1'000'000'000;
    return {
        true, static_cast<qint64>(status.st_size),
        static_cast<qint64>(status.st_mtim.tv_sec) * kNanosecondsPerSecond + status.st_mtim.tv_nsec,
        static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}

}  // namespace pelorix::platform
