#pragma once

#include "platform/file_stamp.h"
#include "platform/profile_document.h"

#include <QString>

#include <optional>

namespace pelorix::platform {

class FileSystem;

// A profile file that is read often and changes seldom: it is parsed once and kept, and read
// again only when it changed on disk since (its size, modification time or identity) or the
// program wrote a profile file in the meantime. Answers as ReadIni does.
class CachedProfile {
  public:
    CachedProfile(const FileSystem& files, QString file);

    QString read(const QString& section, const QString& key, const QString& defaultValue);

  private:
    void refresh();

    const FileSystem& files_;
    QString file_;
    FileStamp stamp_;
    quint64 writeCount_ = 0;
    bool loaded_ = false;
    std::optional<ProfileDocument> document_;
};

}  // namespace pelorix::platform
