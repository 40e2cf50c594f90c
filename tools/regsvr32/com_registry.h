#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace pelorix::regsvr32 {

// The set of registered libraries: a text file with one absolute path a line. Every access holds
// an exclusive lock on a companion ".lock" file, and a change replaces the file in one rename, so
// registrars started at the same time neither lose nor tear each other's entries.
class ComRegistry {
  public:
    explicit ComRegistry(QString filePath);

    // $PELORIX_COM_REGISTRY when set and non-empty, else
    // $HOME/.local/state/pelorix/com-registry.txt.
    static QString defaultPath();

    // Applies the change under the lock; false when the registry could not be read or written.
    bool update(const std::function<void(QStringList& paths)>& change);
    // The registered paths, read under the lock; empty when there is no registry yet.
    bool read(QStringList& paths);

  private:
    bool readUnlocked(QStringList& paths) const;
    bool writeUnlocked(const QStringList& paths) const;

    QString filePath_;
};

}  // namespace pelorix::regsvr32
