#include "platform/cached_profile.h"

#include "platform/file_system.h"
#include "platform/profile.h"

#include <utility>

namespace pelorix::platform {

CachedProfile::CachedProfile(const FileSystem& files, QString file)
    : files_(files), file_(std::move(file)) {}

QString CachedProfile::read(const QString& section, const QString& key,
                            const QString& defaultValue) {
    refresh();
    return ReadIni(document_ ? &*document_ : nullptr, section, key, defaultValue);
}

void CachedProfile::refresh() {
    // Our own write counts even when it left size and time as they were (a coarse clock).
    const FileStamp stamp = fileStamp(files_, file_);
    const quint64 writeCount = profileWriteCount();
    if (loaded_ && stamp == stamp_ && writeCount == writeCount_) {
        return;
    }
    document_.reset();
    if (const auto bytes = files_.readFile(file_)) {
        document_.emplace(*bytes);
    }
    stamp_ = stamp;
    writeCount_ = writeCount;
    loaded_ = true;
}

}  // namespace pelorix::platform
