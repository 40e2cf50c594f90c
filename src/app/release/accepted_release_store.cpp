#include "app/release/accepted_release_store.h"

#include "platform/file_system.h"

namespace pelorix::app {

AcceptedReleaseStore::AcceptedReleaseStore(platform::FileSystem& files,
                                           const QString& settingsFolder)
    : files_(files), path_(settingsFolder + "/PelorixUpdater_AcceptedRelease.txt") {}

bool AcceptedReleaseStore::load(std::optional<qint64>& timestamp, QString& error) const {
    timestamp.reset();
    if (!files_.entryExists(path_)) {
        return true;
    }
    const auto content = files_.readFile(path_);
    bool isNumber = false;
    const qint64 seconds = content ? content->trimmed().toLongLong(&isNumber) : 0;
    if (!isNumber || seconds < 0) {
        error = path_ + " holds no timestamp";
        return false;
    }
    timestamp = seconds;
    return true;
}

bool AcceptedReleaseStore::store(qint64 timestamp) {
    return static_cast<bool>(
        files_.replaceFileContents(path_, QByteArray::number(timestamp) + "\r\n"));
}

}  // namespace pelorix::app
