#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::app {

// What the updater remembers of the last signed release it accepted on this machine: the
// timestamp of its checksum list, in a small file of its own beside the settings file, so that
// an older, replayed list is refused.
class AcceptedReleaseStore {
  public:
    AcceptedReleaseStore(platform::FileSystem& files, const QString& settingsFolder);

    // True with the remembered timestamp (nullopt when there is none yet); false and `error`
    // when the file exists but does not hold one.
    bool load(std::optional<qint64>& timestamp, QString& error) const;
    // Replaces the file as a whole, so a failed write keeps the old timestamp.
    bool store(qint64 timestamp);

    const QString& path() const { return path_; }

  private:
    platform::FileSystem& files_;
    QString path_;
};

}  // namespace pelorix::app
