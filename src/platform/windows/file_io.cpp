#include "platform/windows/file_io.h"

#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_path.h"
#include "platform/windows/win32_error.h"

#include <QRandomGenerator>

#include <algorithm>

namespace pelorix::platform::windows {
namespace {

constexpr DWORD kChunkSize = 64 * 1024;
constexpr int kTempNameAttempts = 100;

qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

QString folderOf(const QString& path) {
    return path.left(lastSeparator(path) + 1);
}

QString tempPrefix(const QString& finalPath) {
    return QStringLiteral(".~") + finalPath.mid(lastSeparator(finalPath) + 1) + u'.';
}

bool isTempNameFor(const QString& name, const QString& prefix) {
    const QLatin1String suffix(".tmp");
    // The temporary may carry the case of another call's name.
    if (!name.startsWith(prefix, Qt::CaseInsensitive) ||
        !name.endsWith(suffix, Qt::CaseInsensitive) ||
        name.size() <= prefix.size() + suffix.size()) {
        return false;
    }
    const QStringView tag = QStringView(name).mid(prefix.size()).chopped(suffix.size());
    return std::all_of(tag.begin(), tag.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

}  // namespace

Outcome lastErrorFailure() {
    return Outcome::failure(lastErrorText());
}

std::optional<DWORD> attributesOf(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

bool isFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isReadOnlyFile(DWORD attributes) {
    return !isFolder(attributes) && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(const QString& path) {
    // No access beyond the attributes, and backup semantics, so that folders open as well.
    const OwnedHandle file(::CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.isValid() || !::GetFileInformationByHandle(file.get(), &information)) {
        return std::nullopt;
    }
    return information;
}

bool writeAll(HANDLE file, const char* data, qint64 size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<qint64>(size, kChunkSize));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

std::optional<QByteArray> readAll(HANDLE file) {
    QByteArray contents;
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), kChunkSize, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            return contents;
        }
        contents.append(buffer.constData(), got);
    }
}

HandleWriter::~HandleWriter() {
    close();
}

bool HandleWriter::write(const char* data, qint64 size) {
    if (file_ == INVALID_HANDLE_VALUE || size < 0 || failed_ || !writeAll(file_, data, size)) {
        failed_ = true;
    }
    return !failed_;
}

bool HandleWriter::close() {
    if (file_ != INVALID_HANDLE_VALUE) {
        const bool flushed = ::FlushFileBuffers(file_) != 0;
        const bool closed = ::CloseHandle(file_) != 0;
        failed_ = failed_ || !flushed || !closed;
        file_ = INVALID_HANDLE_VALUE;
    }
    return !failed_;
}

QString tempNameBeside(const QString& finalPath) {
    return folderOf(finalPath) + tempPrefix(finalPath) +
           QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".tmp");
}

std::optional<TempFile> createTempBeside(const QString& finalPath) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const QString candidate = tempNameBeside(finalPath);
        const HANDLE handle = ::CreateFileW(WidePath(candidate).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return TempFile{candidate, handle};
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool finish(TempFile& temp) {
    const bool flushed = ::FlushFileBuffers(temp.handle) != 0;
    const bool closed = ::CloseHandle(temp.handle) != 0;
    temp.handle = INVALID_HANDLE_VALUE;
    return flushed && closed;
}

void discard(TempFile& temp) {
    if (temp.handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(temp.handle);
        temp.handle = INVALID_HANDLE_VALUE;
    }
    removeForcibly(temp.path);
}

void removeForcibly(const QString& path) {
    const WidePath native(path);
    ::SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(native.c_str());
}

void removeLeftoverTemps(const QString& finalPath) {
    const QString folder = folderOf(finalPath);
    const QString prefix = tempPrefix(finalPath);
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(WidePath(folder + prefix + u'*').c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (isTempNameFor(name, prefix) && !isFolder(found.dwFileAttributes)) {
            removeForcibly(folder + name);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace pelorix::platform::windows
