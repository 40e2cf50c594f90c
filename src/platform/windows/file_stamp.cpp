#include "platform/file_stamp.h"

#include "platform/file_system.h"
#include "platform/windows/file_io.h"

namespace pelorix::platform {
namespace {

quint64 joined(DWORD high, DWORD low) {
    return (static_cast<quint64>(high) << 32) | low;
}

}  // namespace

FileStamp fileStamp(const FileSystem& files, const QString& path) {
    const auto information = windows::informationOf(files.resolve(path));
    if (!information) {
        return {};
    }
    // The last write time counts 100-nanosecond ticks.
    constexpr qint64 kNanosecondsPerTick = 100;
    const FILETIME& written = information->ftLastWriteTime;
    return {true,
            static_cast<qint64>(joined(information->nFileSizeHigh, information->nFileSizeLow)),
            static_cast<qint64>(joined(written.dwHighDateTime, written.dwLowDateTime)) *
                kNanosecondsPerTick,
            information->dwVolumeSerialNumber,
            joined(information->nFileIndexHigh, information->nFileIndexLow)};
}

}  // namespace pelorix::platform
