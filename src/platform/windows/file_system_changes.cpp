#include "platform/windows/file_io.h"
#include "platform/windows/file_system.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_path.h"
#include "platform/windows/win32_error.h"

// The changing operations of the file layer. Windows itself refuses to delete a read-only file
// or rename onto an existing name; writes that open or replace a file check the read-only
// attribute here, so that every such refusal carries the same reason.
namespace pelorix::platform {
namespace {

using windows::attributesOf;
using windows::lastErrorFailure;
using windows::WidePath;

// The attributes a rewritten file keeps from the one it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr int kTempNameAttempts = 100;

Outcome succeededOrLastError(BOOL succeeded) {
    return succeeded ? Outcome::success() : lastErrorFailure();
}

// Why an existing entry may not be replaced by a file: a folder or a read-only file.
std::optional<Outcome> refusalOfNewContents(const std::optional<DWORD>& attributes) {
    if (attributes && windows::isFolder(*attributes)) {
        return Outcome::failure(QStringLiteral("the entry is a folder"));
    }
    if (attributes && windows::isReadOnlyFile(*attributes)) {
        return Outcome::failure(QStringLiteral("the file is read-only"));
    }
    return std::nullopt;
}

bool isSameFile(const QString& a, const QString& b) {
    const auto first = windows::informationOf(a);
    const auto second = windows::informationOf(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh &&
           first->nFileIndexLow == second->nFileIndexLow;
}

// A copy of the file (contents and attributes) under a fresh temporary name beside finalPath.
std::optional<QString> copyBeside(const QString& from, const QString& finalPath) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const QString temp = windows::tempNameBeside(finalPath);
        if (::CopyFileW(WidePath(from).c_str(), WidePath(temp).c_str(), TRUE)) {
            return temp;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

Outcome moveInPlace(const QString& from, const QString& to, bool replaceExisting) {
    const DWORD flags =
        MOVEFILE_WRITE_THROUGH | (replaceExisting ? DWORD{MOVEFILE_REPLACE_EXISTING} : DWORD{0});
    return succeededOrLastError(::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags));
}

Outcome writeThroughTemp(const QString& target, const QByteArray& bytes, DWORD attributes) {
    auto temp = windows::createTempBeside(target);
    if (!temp) {
        return lastErrorFailure();
    }
    // The temporary is hidden while it is written and takes the final attributes just before
    // it is renamed into place.
    Outcome outcome = windows::writeAll(temp->handle, bytes.constData(), bytes.size()) &&
                              windows::finish(*temp) &&
                              ::SetFileAttributesW(WidePath(temp->path).c_str(), attributes)
                          ? moveInPlace(temp->path, target, true)
                          : lastErrorFailure();
    if (!outcome) {
        windows::discard(*temp);
    }
    return outcome;
}

}  // namespace

Outcome WindowsFileSystem::deleteFile(const QString& path) {
    return succeededOrLastError(::DeleteFileW(WidePath(path).c_str()));
}

Outcome WindowsFileSystem::moveFile(const QString& from, const QString& to) {
    return succeededOrLastError(::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                                              MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH));
}

Outcome WindowsFileSystem::copyFile(const QString& from, const QString& to, bool replaceExisting) {
    // The target keeps the spelling of its name on disk when it is replaced.
    return copyInto(from, resolve(to), replaceExisting);
}

// Copies through a temporary file beside the destination, so that a failed copy leaves the
// destination as it was.
Outcome WindowsFileSystem::copyInto(const QString& from, const QString& to, bool replaceExisting) {
    const auto source = attributesOf(from);
    if (!source) {
        return lastErrorFailure();
    }
    if (windows::isFolder(*source)) {
        return Outcome::failure(QStringLiteral("the entry is a folder"));
    }
    const auto target = attributesOf(to);
    if (target && !replaceExisting) {
        return Outcome::failure(errorText(ERROR_FILE_EXISTS));
    }
    if (auto refusal = refusalOfNewContents(target)) {
        return *refusal;
    }
    if (target && isSameFile(from, to)) {
        return Outcome::failure(QStringLiteral("source and destination are the same file"));
    }
    const auto temp = copyBeside(from, to);
    if (!temp) {
        return lastErrorFailure();
    }
    Outcome moved = moveInPlace(*temp, to, replaceExisting);
    if (!moved) {
        windows::removeForcibly(*temp);
    }
    return moved;
}

// A second name of a file that cannot be deleted now (a program holds it open, or runs from it,
// or it is read-only) could not be removed either, for it is the same file: such a file gets no
// link, so that its caller keeps a copy instead, which a rollback can remove. Opened for writing
// and deletion, nothing is written.
Outcome WindowsFileSystem::linkFile(const QString& from, const QString& to) {
    const OwnedHandle deletable(
        ::CreateFileW(WidePath(from).c_str(), DELETE | FILE_WRITE_DATA,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!deletable.isValid()) {
        return lastErrorFailure();
    }
    return succeededOrLastError(
        ::CreateHardLinkW(WidePath(to).c_str(), WidePath(from).c_str(), nullptr));
}

Outcome WindowsFileSystem::createFolder(const QString& path) {
    return succeededOrLastError(::CreateDirectoryW(WidePath(path).c_str(), nullptr));
}

Outcome WindowsFileSystem::removeEmptyFolder(const QString& path) {
    return succeededOrLastError(::RemoveDirectoryW(WidePath(path).c_str()));
}

std::unique_ptr<FileWriter> WindowsFileSystem::createFile(const QString& path) {
    const auto existing = attributesOf(path);
    if (refusalOfNewContents(existing)) {
        return nullptr;
    }
    // Truncating a hidden or system file needs those attributes named again, or it is refused.
    const DWORD kept = existing ? *existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
    const HANDLE file =
        ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      CREATE_ALWAYS, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<windows::HandleWriter>(file);
}

Outcome WindowsFileSystem::replaceFileContents(const QString& path, const QByteArray& bytes) {
    // The rename gives the file the name it is given: keep the spelling that is on disk.
    const QString resolved = resolve(path);
    windows::removeLeftoverTemps(resolved);
    const auto existing = attributesOf(resolved);
    if (auto refusal = refusalOfNewContents(existing)) {
        return *refusal;
    }
    const DWORD kept = existing ? *existing & kKeptAttributes : 0;
    return writeThroughTemp(resolved, bytes, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
}

void WindowsFileSystem::removeLeftoverTemporaries(const QString& path) {
    windows::removeLeftoverTemps(resolve(path));
}

Outcome WindowsFileSystem::appendToFile(const QString& path, const QByteArray& bytes) {
    if (auto refusal = refusalOfNewContents(attributesOf(path))) {
        return *refusal;
    }
    const HANDLE file = ::CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lastErrorFailure();
    }
    Outcome outcome = windows::writeAll(file, bytes.constData(), bytes.size()) ? Outcome::success()
                                                                               : lastErrorFailure();
    if (!::CloseHandle(file) && outcome) {
        outcome = lastErrorFailure();
    }
    return outcome;
}

}  // namespace pelorix::platform
