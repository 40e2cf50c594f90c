#include "platform/operating_system_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <windows.h>

#include <shlobj.h>

#include <initializer_list>
#include <vector>

namespace pelorix::platform {

namespace {

// Compared as Qt writes paths, without a trailing separator: "c:\Windows\" is "C:/Windows".
QString comparable(const QString& folder) {
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder.trimmed()));
    if (path.endsWith('/') && path.size() > 1) {
        path.chop(1);
    }
    return path;
}

QString shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))
               ? QString::fromWCharArray(path)
               : QString();
}

// The Windows folder and its system folders (SysWOW64 for the 32-bit programs of a 64-bit
// system), the program folders and the folder of all users' program data.
QStringList operatingSystemFolders() {
    QStringList folders;
    wchar_t path[MAX_PATH] = {};
    if (const UINT length = GetWindowsDirectoryW(path, MAX_PATH); length > 0 && length < MAX_PATH) {
        const QString windows = QString::fromWCharArray(path, length);
        folders << windows << windows + "/System32" << windows + "/SysWOW64";
    }
    for (const int csidl :
         {CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
          CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA}) {
        folders << shellFolder(csidl);
    }
    QStringList comparableFolders;
    for (const QString& folder : folders) {
        if (!folder.isEmpty()) {
            comparableFolders << comparable(folder);
        }
    }
    return comparableFolders;
}

// A drive's root, "\" (the root of the current drive) and "C:" (where a join with "\" lands).
bool isRoot(const QString& comparablePath) {
    static const QRegularExpression root(QStringLiteral("^([A-Za-z]:/?|/)$"));
    return root.match(comparablePath).hasMatch();
}

// The long form of a short name such as "PROGRA~1", for a folder that exists.
QString longName(const QString& folder) {
    const std::wstring native = QDir::toNativeSeparators(folder).toStdWString();
    std::vector<wchar_t> buffer(32768);
    const DWORD length =
        GetLongPathNameW(native.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    return length > 0 && length < buffer.size()
               ? QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length))
               : folder;
}

}  // namespace

// Through links and short names as well; Windows names match without regard to case.
bool isOperatingSystemFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) {
        return true;  // every file would be a file of the root
    }
    static const QStringList systemFolders = operatingSystemFolders();
    const QString canonical = QFileInfo(longName(folder)).canonicalFilePath();
    for (const QString& candidate : {comparable(folder), comparable(canonical)}) {
        if (isRoot(candidate) || systemFolders.contains(candidate, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

}  // namespace pelorix::platform
