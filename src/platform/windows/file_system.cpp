#include "platform/windows/file_system.h"

#include "platform/windows/file_io.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_path.h"
#include "platform/windows_names.h"

#include <algorithm>

// The lookups of the file layer: name resolution, existence tests, listings and reads. The file
// system compares names without regard to case itself; resolve() only supplies their spelling.
namespace pelorix::platform {
namespace {

using windows::attributesOf;
using windows::isFolder;
using windows::WidePath;

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// A component that names an entry of its folder: not a drive, "." or "..", nor a pattern.
bool isLookedUp(const QString& part) {
    return !part.isEmpty() && part != u"." && part != u".." && !part.contains(u':') &&
           !hasWildcards(part);
}

// The first entry that find-first-file reports for the pattern or name.
std::optional<WIN32_FIND_DATAW> firstFound(const QString& pattern) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    ::FindClose(search);
    return found;
}

// Windows order: without regard to case, ties by the exact name so that the order is stable.
bool windowsNameOrder(const DirEntry& a, const DirEntry& b) {
    const int byCase = QString::compare(a.name, b.name, Qt::CaseInsensitive);
    return byCase != 0 ? byCase < 0 : a.name < b.name;
}

DirEntry entryOf(const WIN32_FIND_DATAW& found) {
    DirEntry entry;
    entry.name = QString::fromWCharArray(found.cFileName);
    entry.isFolder = isFolder(found.dwFileAttributes);
    entry.isHidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.isSystem = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    return entry;
}

bool isNormalFile(DWORD attributes) {
    return !isFolder(attributes) && (attributes & kHiddenOrSystem) == 0;
}

}  // namespace

QString WindowsFileSystem::resolve(const QString& path) const {
    QString resolved;
    bool searching = true;
    for (qsizetype start = 0; start <= path.size();) {
        qsizetype end = start;
        while (end < path.size() && !isSeparator(path[end])) {
            ++end;
        }
        QString part = path.mid(start, end - start);
        if (searching && isLookedUp(part)) {
            if (const auto found = firstFound(resolved + part)) {
                part = QString::fromWCharArray(found->cFileName);
            } else {
                // Nothing below a missing component can exist; keep the rest as given.
                searching = false;
            }
        }
        resolved += part;
        if (end < path.size()) {
            resolved += path[end];
        }
        start = end + 1;
    }
    return resolved;
}

bool WindowsFileSystem::normalFileExists(const QString& path) const {
    const auto attributes = attributesOf(path);
    return attributes && isNormalFile(*attributes);
}

bool WindowsFileSystem::entryExists(const QString& path) const {
    const auto attributes = attributesOf(path);
    return attributes && (isFolder(*attributes) || isNormalFile(*attributes));
}

bool WindowsFileSystem::anyMatch(const QString& pattern) const {
    // A pattern ending in a separator names no entry; find-first-file would fail on it anyway.
    return !pattern.isEmpty() && !isSeparator(pattern.back()) && firstFound(pattern).has_value();
}

bool WindowsFileSystem::isReadOnly(const QString& path) const {
    const auto attributes = attributesOf(path);
    return attributes && windows::isReadOnlyFile(*attributes);
}

std::vector<DirEntry> WindowsFileSystem::list(const QString& folder) const {
    std::vector<DirEntry> entries;
    const bool endsInSeparator = !folder.isEmpty() && isSeparator(folder.back());
    const QString pattern = folder + (endsInSeparator ? QStringLiteral("*") : QStringLiteral("/*"));
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        DirEntry entry = entryOf(found);
        if (entry.name != u"." && entry.name != u"..") {
            entries.push_back(std::move(entry));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(entries.begin(), entries.end(), windowsNameOrder);
    return entries;
}

Fallible<QByteArray> WindowsFileSystem::readFile(const QString& path) const {
    const OwnedHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) {
        return windows::lastErrorFailure();
    }
    // Only files on disk are read: a device name such as "CON" opens as well.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Outcome::failure(QStringLiteral("not a regular file"));
    }
    std::optional<QByteArray> bytes = windows::readAll(file.get());
    if (!bytes) {
        return windows::lastErrorFailure();
    }
    return std::move(*bytes);
}

FileSystem& defaultFileSystem() {
    static WindowsFileSystem fileSystem;
    return fileSystem;
}

}  // namespace pelorix::platform
