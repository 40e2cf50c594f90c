#include "platform/durable_append.h"

#include "platform/windows/file_io.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_path.h"

namespace pelorix::platform {

// The file system journals a new file's entry in its folder itself; flushing the file is enough.
Outcome appendDurably(const QString& path, const QByteArray& bytes) {
    const OwnedHandle file(::CreateFileW(windows::WidePath(path).c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) {
        return windows::lastErrorFailure();
    }
    if (!windows::writeAll(file.get(), bytes.constData(), bytes.size()) ||
        !::FlushFileBuffers(file.get())) {
        return windows::lastErrorFailure();
    }
    return Outcome::success();
}

}  // namespace pelorix::platform
