#include "files/remove_folder.h"

#include "platform/file_system.h"

#include <QFileInfo>
#include <QSet>

namespace pelorix::files {

namespace {

bool isNormalFile(const platform::DirEntry& entry) {
    return !entry.isFolder && !entry.isHidden && !entry.isSystem;
}

// Deletes every normal file of the folder; a file that cannot be deleted does not stop the rest
// (what is left is seen by the caller, which reports nothing).
void deleteFilesOf(platform::FileSystem& files, const QString& folder) {
    for (const platform::DirEntry& entry : files.list(folder)) {
        if (isNormalFile(entry)) {
            static_cast<void>(files.deleteFile(folder + "/" + entry.name));
        }
    }
}

// The next entry to remove: a subfolder, or a file the first pass left behind, that has not
// already survived an attempt. The listing is taken afresh because the recursion changed it.
QString nextEntry(const platform::FileSystem& files, const QString& folder,
                  const QSet<QString>& survivors) {
    for (const platform::DirEntry& entry : files.list(folder)) {
        if ((entry.isFolder || isNormalFile(entry)) && !survivors.contains(entry.name)) {
            return entry.name;
        }
    }
    return {};
}

// A link is removed as an entry of its own, never followed: its target lies outside the folder.
// An NTFS junction is no symbolic link to QFileInfo, but leads out of the folder just the same.
bool isLink(const platform::FileSystem& files, const QString& path) {
    const QFileInfo info(files.resolve(path));
    return info.isSymLink() || info.isJunction();
}

// A link to a file goes as a file; one to a folder (and a junction) goes as an empty folder,
// which removes the link and leaves what it points to.
void removeLink(platform::FileSystem& files, const QString& path) {
    if (!files.deleteFile(path)) {
        static_cast<void>(files.removeEmptyFolder(path));
    }
}

}  // namespace

void RemoveFolder(platform::FileSystem& files, QString path) {
    if (path.endsWith('/') || path.endsWith('\\')) {
        path.chop(1);
    }
    if (path.isEmpty()) {
        return;
    }
    if (isLink(files, path)) {
        removeLink(files, path);
        return;
    }
    deleteFilesOf(files, path);
    // An entry that is still there after its own removal is skipped from then on, so that the
    // loop ends even when something inside cannot be removed.
    QSet<QString> survivors;
    for (QString entry = nextEntry(files, path, survivors); !entry.isEmpty();
         entry = nextEntry(files, path, survivors)) {
        const QString child = path + "/" + entry;
        RemoveFolder(files, child);
        if (files.entryExists(child)) {
            survivors.insert(entry);
        }
    }
    static_cast<void>(files.removeEmptyFolder(path));
}

}  // namespace pelorix::files
