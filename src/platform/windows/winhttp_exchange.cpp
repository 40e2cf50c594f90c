#include "platform/windows/winhttp_exchange.h"

#include "platform/windows/win32_error.h"

#include <algorithm>
#include <climits>
#include <string>

namespace pelorix::platform::windows {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

bool isSuccessStatus(DWORD status) {
    return status >= 200 && status <= 299;
}

QString winHttpErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        GetModuleHandleW(L"winhttp.dll"), code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return errorText(code);
    }
    QString text = QString::fromWCharArray(buffer, static_cast<qsizetype>(length)).trimmed();
    LocalFree(buffer);
    return text;
}

namespace {

// WinHTTP takes 0 as "wait forever"; the smallest limit here is one millisecond.
int timeoutValue(milliseconds limit) {
    return static_cast<int>(std::clamp<milliseconds::rep>(limit.count(), 1, INT_MAX));
}

}  // namespace

milliseconds Exchange::remaining() const {
    const auto spent = std::chrono::duration_cast<milliseconds>(SteadyClock::now() - started_);
    return std::max(limits_.totalTimeout - spent, milliseconds(0));
}

bool Exchange::open(HINTERNET session, const QString& url, const wchar_t* verb) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    const auto* wideUrl = reinterpret_cast<const wchar_t*>(url.utf16());
    if (!WinHttpCrackUrl(wideUrl, static_cast<DWORD>(url.size()), 0, &parts)) {
        failWith(GetLastError());
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        failWith(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
        return false;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The path with its query: both end where the URL ends, after the fragment is cut off.
    std::wstring path;
    if (parts.lpszUrlPath != nullptr) {
        path.assign(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    }
    path = path.substr(0, path.find(L'#'));
    if (path.empty()) {
        path = L"/";
    }
    connection_.reset(WinHttpConnect(session, host.c_str(), parts.nPort, 0));
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    if (connection_) {
        request_.reset(WinHttpOpenRequest(connection_.get(), verb, path.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                          secure));
    }
    if (!request_) {
        failWith(GetLastError());
        return false;
    }
    // Redirects as with curl: at most five, between http and https in either direction.
    DWORD redirects = 5;
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_ALWAYS;
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                     sizeof redirects);
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    const int connect = timeoutValue(std::min(limits_.connectTimeout, remaining()));
    const int stall = timeoutValue(limits_.stallTimeout);
    if (!WinHttpSetTimeouts(request_.get(), connect, connect, stall, stall)) {
        failWith(GetLastError());
        return false;
    }
    return true;
}

// The next wait ends at the stall limit or at the end of the whole fetch, whichever is first.
bool Exchange::setReceiveTimeout() {
    const milliseconds left = remaining();
    if (left <= milliseconds(0)) {
        failOverTime();
        return false;
    }
    waitEndsAtTotal_ = left < limits_.stallTimeout;
    DWORD timeout = static_cast<DWORD>(timeoutValue(std::min(left, limits_.stallTimeout)));
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout,
                     sizeof timeout);
    return true;
}

// Wine's WinHTTP reports the socket's own timeout (WSAETIMEDOUT) where Windows reports its own.
void Exchange::failWaiting() {
    const DWORD code = GetLastError();
    if (code != ERROR_WINHTTP_TIMEOUT && code != WSAETIMEDOUT) {
        failWith(code);
    } else if (waitEndsAtTotal_) {
        failOverTime();
    } else {
        fail(QStringLiteral("no data received for %1 ms").arg(limits_.stallTimeout.count()));
    }
}

bool Exchange::abortRequested() {
    if (limits_.abortRequested && limits_.abortRequested()) {
        fail(QStringLiteral("the fetch was abandoned"));
        return true;
    }
    return false;
}

bool Exchange::receiveHead() {
    if (!WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        // A timeout while sending is one of connecting, not a stall of the answer.
        failWith(GetLastError());
        return false;
    }
    if (abortRequested() || !setReceiveTimeout()) {
        return false;
    }
    if (!WinHttpReceiveResponse(request_.get(), nullptr)) {
        failWaiting();
        return false;
    }
    DWORD size = sizeof status_;
    WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status_, &size, WINHTTP_NO_HEADER_INDEX);
    return !abortRequested();
}

bool Exchange::askFrom(const HttpContinuation& from) {
    if (from.offset <= 0) {
        return true;
    }
    QString headers = QStringLiteral("Range: bytes=%1-\r\n").arg(from.offset);
    if (!from.validator.isEmpty()) {
        headers += "If-Range: " + from.validator + "\r\n";
    }
    if (!WinHttpAddRequestHeaders(request_.get(), reinterpret_cast<const wchar_t*>(headers.utf16()),
                                  static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD)) {
        failWith(GetLastError());
        return false;
    }
    return true;
}

QString Exchange::header(DWORD query) const {
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request_.get(), query, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    return QString::fromWCharArray(text).trimmed();
}

// The offset is -1 for a 200 that names a part of the file: neither the rest nor the whole.
HttpBodyStart Exchange::bodyStart() const {
    const QString etag = header(WINHTTP_QUERY_ETAG);
    const qint64 range = contentRangeStart(header(WINHTTP_QUERY_CONTENT_RANGE));
    const qint64 offset = status_ == 206 ? range : (range > 0 ? -1 : 0);
    return {offset, etag.isEmpty() ? header(WINHTTP_QUERY_LAST_MODIFIED) : etag};
}

qint64 Exchange::announcedLength() const {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_CONTENT_LENGTH,
                             WINHTTP_HEADER_NAME_BY_INDEX, text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return -1;
    }
    bool valid = false;
    const qint64 length = QString::fromWCharArray(text).trimmed().toLongLong(&valid);
    return valid && length >= 0 ? length : -1;
}

void Exchange::failOverTime() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limits_.totalTimeout);
    fail(QStringLiteral("not complete after %1 s, the limit of one download").arg(seconds.count()));
}

void Exchange::failTooLarge() {
    fail(QStringLiteral("the body is longer than %1 bytes, the limit of one download")
             .arg(limits_.maximumBodySize));
}

// A body that is longer than the limit is refused before it fills the disk.
bool Exchange::deliver(const BodySink& sink, const char* data, qint64 length) {
    if (bytes_ + length > limits_.maximumBodySize) {
        failTooLarge();
        return false;
    }
    if (!sink(data, length)) {
        fail(QStringLiteral("the received data could not be stored"));
        return false;
    }
    bytes_ += length;
    return true;
}

bool Exchange::readPiece(const BodySink& sink, std::vector<char>& buffer, bool& ended) {
    DWORD available = 0;
    if (!setReceiveTimeout()) {
        return false;
    }
    // Waits for the next bytes only, so that each arrival restarts the limits' check.
    if (!WinHttpQueryDataAvailable(request_.get(), &available)) {
        failWaiting();
        return false;
    }
    ended = available == 0;
    if (ended) {
        return true;
    }
    DWORD read = 0;
    const DWORD wanted = std::min(available, static_cast<DWORD>(buffer.size()));
    if (!WinHttpReadData(request_.get(), buffer.data(), wanted, &read)) {
        failWaiting();
        return false;
    }
    if (read > 0 && !deliver(sink, buffer.data(), static_cast<qint64>(read))) {
        return false;
    }
    return !abortRequested();
}

bool Exchange::receiveBody(const BodySink& sink) {
    const qint64 announced = announcedLength();
    if (announced > limits_.maximumBodySize) {
        failTooLarge();
        return false;
    }
    // Larger pieces wait in WinHTTP's buffers until the next read.
    std::vector<char> buffer(64 * 1024);
    bool ended = false;
    while (!ended) {
        if (!readPiece(sink, buffer, ended)) {
            return false;
        }
    }
    // WinHTTP ends a body cut off by the server as if it were complete.
    if (announced >= 0 && bytes_ < announced) {
        fail(QStringLiteral("transfer closed with %1 bytes remaining to read")
                 .arg(announced - bytes_));
        return false;
    }
    return true;
}

}  // namespace pelorix::platform::windows
