#include "platform/windows/win32_error.h"

#include <windows.h>

namespace pelorix::platform {

QString errorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return QStringLiteral("error %1").arg(code);
    }
    // The system's texts end in a line break, which a log line must not carry.
    QString text = QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
    LocalFree(buffer);
    while (!text.isEmpty() && text.back().isSpace()) {
        text.chop(1);
    }
    return text;
}

QString lastErrorText() {
    return errorText(GetLastError());
}

}  // namespace pelorix::platform
