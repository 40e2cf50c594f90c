#include "platform/special_folders.h"

#include "platform/environment.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace pelorix::platform {

namespace {

// The longest path the wide API knows, in characters.
constexpr DWORD kLongestPath = 32767;

// The shell's folder, or the empty text when it has none of that number.
QString shellFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(items, path) != 0;
    CoTaskMemFree(items);
    return found ? QString::fromWCharArray(path) : QString();
}

// The same overrides as on POSIX, so tests and odd machines name the folder; a variable that is
// set but empty stands for a lookup that failed.
QString folderFromEnvironment(const Environment& environment, const QString& variable, int csidl) {
    const std::optional<QString> named = environment.find(variable);
    return named ? *named : shellFolder(csidl);
}

// The buffer grows until the whole path fits: a longer one is cut without a failure.
QString ownExecutablePath() {
    for (DWORD size = MAX_PATH; size <= 2 * kLongestPath; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length));
        }
    }
    return {};
}

// Windows paths keep the system's own separator.
QFileInfo ownExecutable() {
    return QFileInfo(QDir::fromNativeSeparators(ownExecutablePath()));
}

}  // namespace

QString GetSpecialFolder(const Environment& environment, int folderNumber) {
    switch (folderNumber) {
        case kCommonAppData:
            return folderFromEnvironment(environment, QStringLiteral("PELORIX_COMMON_APPDATA"),
                                         CSIDL_COMMON_APPDATA);
        case kSystemFolder:
            return folderFromEnvironment(environment, QStringLiteral("PELORIX_SYSTEM_FOLDER"),
                                         CSIDL_SYSTEM);
        default:
            return {};
    }
}

QString ownFolder() {
    return QDir::toNativeSeparators(ownExecutable().absolutePath());
}

QString ownExecutableName() {
    return ownExecutable().fileName();
}

}  // namespace pelorix::platform
