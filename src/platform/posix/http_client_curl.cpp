#include "platform/http_client.h"

#include "platform/posix/curl_library.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace pelorix::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

bool isSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

// libcurl wants its global set-up once per process, before the first handle.
class CurlGlobal {
  public:
    explicit CurlGlobal(const CurlLibrary* curl)
        : curl_(curl), code_(curl ? curl->globalInit(CURL_GLOBAL_DEFAULT) : CURLE_FAILED_INIT) {}
    ~CurlGlobal() {
        if (code_ == CURLE_OK) {
            curl_->globalCleanup();
        }
    }
    bool ready() const { return code_ == CURLE_OK; }

  private:
    const CurlLibrary* curl_;
    CURLcode code_;
};

// The state of one fetch, shared with libcurl's callbacks.
struct Transfer {
    const CurlLibrary* curl = nullptr;
    CURL* handle = nullptr;
    const BodySink* sink = nullptr;
    HttpLimits limits;
    HttpContinuation from{};
    const BodyStartSink* start = nullptr;
    SteadyClock::time_point started = SteadyClock::now();
    SteadyClock::time_point lastActivity = started;
    qint64 bytes = 0;
    long refusedStatus = 0;
    bool stalled = false;
    bool overTime = false;
    bool tooLarge = false;
    bool aborted = false;
    bool sinkFailed = false;
    bool wrongRange = false;
    // Of the response being received (a redirect's are forgotten at the next status line).
    QString etag{};
    QString lastModified{};
    qint64 rangeStart = -1;
    bool bodyStarted = false;
};

// Keeps what the caller of a continued fetch is told of the response.
size_t onHeader(char* data, size_t size, size_t count, void* userData) {
    auto& transfer = *static_cast<Transfer*>(userData);
    transfer.lastActivity = SteadyClock::now();
    const QString line = QString::fromLatin1(data, static_cast<qsizetype>(size * count)).trimmed();
    const QString name = line.section(':', 0, 0).trimmed().toLower();
    const QString value = line.section(':', 1).trimmed();
    if (line.startsWith(QLatin1String("HTTP/"))) {
        transfer.etag.clear();
        transfer.lastModified.clear();
        transfer.rangeStart = -1;
    } else if (name == QLatin1String("etag")) {
        transfer.etag = value;
    } else if (name == QLatin1String("last-modified")) {
        transfer.lastModified = value;
    } else if (name == QLatin1String("content-range")) {
        transfer.rangeStart = contentRangeStart(value);
    }
    return size * count;
}

bool startBody(Transfer& transfer, long status) {
    transfer.bodyStarted = true;
    // A 206 for another range than the one asked for, or a 200 that names a part of the file,
    // is neither the rest nor the whole of it.
    if (status == 206 ? transfer.rangeStart != transfer.from.offset : transfer.rangeStart > 0) {
        transfer.wrongRange = true;
        return false;
    }
    const qint64 offset = status == 206 ? transfer.rangeStart : 0;
    const QString validator = transfer.etag.isEmpty() ? transfer.lastModified : transfer.etag;
    if (transfer.start && *transfer.start && !(*transfer.start)(HttpBodyStart{offset, validator})) {
        transfer.sinkFailed = true;
        return false;
    }
    return true;
}

// A body that is, or is announced to be, longer than the limit is refused before it fills
// the disk.
bool exceedsSizeLimit(const Transfer& transfer, qint64 length) {
    curl_off_t announced = -1;
    transfer.curl->easyGetinfo(transfer.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    return transfer.bytes + length > transfer.limits.maximumBodySize ||
           announced > transfer.limits.maximumBodySize;
}

size_t onBody(char* data, size_t size, size_t count, void* userData) {
    auto& transfer = *static_cast<Transfer*>(userData);
    const size_t length = size * count;
    transfer.lastActivity = SteadyClock::now();
    long status = 0;
    transfer.curl->easyGetinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
    if (!isSuccessStatus(status)) {
        // An error page is no file: stop before any of it reaches the sink.
        transfer.refusedStatus = status;
        return 0;
    }
    if (exceedsSizeLimit(transfer, static_cast<qint64>(length))) {
        transfer.tooLarge = true;
        return 0;
    }
    if (!transfer.bodyStarted && !startBody(transfer, status)) {
        return 0;
    }
    if (length > 0 && !(*transfer.sink)(data, static_cast<qint64>(length))) {
        transfer.sinkFailed = true;
        return 0;
    }
    transfer.bytes += static_cast<qint64>(length);
    return length;
}

// Called by libcurl while the transfer runs, also when nothing arrives (about once a second).
int onProgress(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(userData);
    const auto now = SteadyClock::now();
    if (now - transfer.lastActivity >= transfer.limits.stallTimeout) {
        transfer.stalled = true;
        return 1;
    }
    // The stall rule restarts with every byte, so a trickle needs a limit of its own.
    if (now - transfer.started >= transfer.limits.totalTimeout) {
        transfer.overTime = true;
        return 1;
    }
    if (transfer.limits.abortRequested && transfer.limits.abortRequested()) {
        transfer.aborted = true;
        return 1;
    }
    return 0;
}

long milliseconds(std::chrono::milliseconds limit) {
    // Zero means "no limit" to libcurl; the smallest limit here is one millisecond.
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

void configure(CURL* handle, const QByteArray& url, const HttpLimits& limits, Transfer& transfer,
               char* errorBuffer) {
    const auto setOption = transfer.curl->easySetopt;
    setOption(handle, CURLOPT_URL, url.constData());
    setOption(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    setOption(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    setOption(handle, CURLOPT_FOLLOWLOCATION, 1L);
    setOption(handle, CURLOPT_MAXREDIRS, 5L);
    setOption(handle, CURLOPT_NOSIGNAL, 1L);
    setOption(handle, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(limits.connectTimeout));
    setOption(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    setOption(handle, CURLOPT_HEADERFUNCTION, onHeader);
    setOption(handle, CURLOPT_HEADERDATA, &transfer);
    setOption(handle, CURLOPT_WRITEFUNCTION, onBody);
    setOption(handle, CURLOPT_WRITEDATA, &transfer);
    setOption(handle, CURLOPT_NOPROGRESS, 0L);
    setOption(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
    setOption(handle, CURLOPT_XFERINFODATA, &transfer);
}

QString failureText(CURLcode code, const Transfer& transfer, const char* errorBuffer) {
    if (transfer.stalled) {
        return QStringLiteral("no data received for %1 ms")
            .arg(transfer.limits.stallTimeout.count());
    }
    if (transfer.overTime) {
        return QStringLiteral("not complete after %1 s, the limit of one download")
            .arg(std::chrono::duration_cast<std::chrono::seconds>(transfer.limits.totalTimeout)
                     .count());
    }
    if (transfer.tooLarge) {
        return QStringLiteral("the body is longer than %1 bytes, the limit of one download")
            .arg(transfer.limits.maximumBodySize);
    }
    if (transfer.aborted) {
        return QStringLiteral("the fetch was abandoned");
    }
    if (transfer.wrongRange) {
        return QStringLiteral("the server sent another part of the file than the one asked for");
    }
    if (transfer.refusedStatus != 0) {
        return QStringLiteral("HTTP status %1").arg(transfer.refusedStatus);
    }
    if (transfer.sinkFailed) {
        return QStringLiteral("the received data could not be stored");
    }
    if (errorBuffer[0] != '\0') {
        return QString::fromLocal8Bit(errorBuffer);
    }
    return QString::fromLatin1(transfer.curl->easyStrerror(code));
}

// One easy handle for every fetch of the process: libcurl keeps its connection (and the
// server's address) with the handle, so the files of a release travel over one connection as
// with a browser, instead of paying the connection's round trips for each file. A connection
// the server has closed in the meantime is noticed by libcurl and opened anew.
class CurlHttpClient final : public HttpClient {
  public:
    HttpResult get(const QString& url, const HttpLimits& limits, const BodySink& sink) override {
        return getFrom(url, limits, {}, {}, sink);
    }
    HttpResult getFrom(const QString& url, const HttpLimits& limits, const HttpContinuation& from,
                       const BodyStartSink& start, const BodySink& sink) override;
    HttpSizeResult size(const QString& url, const HttpLimits& limits) override;

  private:
    using Handle = std::unique_ptr<CURL, void (*)(CURL*)>;

    // The kept handle with every option of the previous fetch cleared; nullptr when libcurl
    // cannot be used. The error says why.
    CURL* freshHandle(const CurlLibrary* curl, QString& error);

    // Declared first so that the handle is cleaned up before libcurl's global state.
    std::optional<CurlGlobal> global_;
    Handle handle_{nullptr, nullptr};
};

CURL* CurlHttpClient::freshHandle(const CurlLibrary* curl, QString& error) {
    if (!global_) {
        global_.emplace(curl);
    }
    if (!global_->ready()) {
        error = curl ? QStringLiteral("libcurl could not be initialised")
                     : QStringLiteral("libcurl could not be loaded");
        return nullptr;
    }
    if (!handle_) {
        handle_ = Handle(curl->easyInit(), curl->easyCleanup);
        if (!handle_) {
            error = QStringLiteral("libcurl could not be initialised");
            return nullptr;
        }
    }
    // A reset keeps the live connections, so the next fetch starts on the same one.
    curl->easyReset(handle_.get());
    return handle_.get();
}

// Why a finished transfer failed, or nothing when it succeeded.
QString transferError(CURLcode code, long status, const Transfer& transfer,
                      const char* errorBuffer) {
    if (code != CURLE_OK) {
        return failureText(code, transfer, errorBuffer);
    }
    return isSuccessStatus(status) ? QString() : QStringLiteral("HTTP status %1").arg(status);
}

// The range and its condition, for as long as the transfer runs.
class RangeRequest {
  public:
    RangeRequest(const CurlLibrary* curl, CURL* handle, const HttpContinuation& from)
        : curl_(curl), range_(QByteArray::number(from.offset) + "-") {
        if (from.offset <= 0) {
            return;
        }
        curl->easySetopt(handle, CURLOPT_RANGE, range_.constData());
        if (!from.validator.isEmpty()) {
            headers_ = curl->slistAppend(nullptr, ("If-Range: " + from.validator).toLatin1());
            curl->easySetopt(handle, CURLOPT_HTTPHEADER, headers_);
        }
    }
    ~RangeRequest() {
        if (headers_ != nullptr) {
            curl_->slistFreeAll(headers_);
        }
    }
    RangeRequest(const RangeRequest&) = delete;
    RangeRequest& operator=(const RangeRequest&) = delete;

  private:
    const CurlLibrary* curl_;
    QByteArray range_;
    curl_slist* headers_ = nullptr;
};

HttpResult CurlHttpClient::getFrom(const QString& url, const HttpLimits& limits,
                                   const HttpContinuation& from, const BodyStartSink& start,
                                   const BodySink& sink) {
    const CurlLibrary* curl = curlLibrary();
    HttpResult result;
    CURL* handle = freshHandle(curl, result.error);
    if (handle == nullptr) {
        return result;
    }
    Transfer transfer{curl, handle, &sink, limits, from, &start};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    configure(handle, url.toUtf8(), limits, transfer, errorBuffer);
    const RangeRequest range(curl, handle, from);

    const CURLcode code = curl->easyPerform(handle);
    long status = 0;
    curl->easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    // The buffer and the headers end with this call; the handle lives on.
    curl->easySetopt(handle, CURLOPT_ERRORBUFFER, nullptr);
    curl->easySetopt(handle, CURLOPT_HTTPHEADER, nullptr);
    result.status = static_cast<int>(status);
    result.bytesReceived = transfer.bytes;
    result.transferComplete = code == CURLE_OK;
    result.error = transferError(code, status, transfer, errorBuffer);
    result.continuationRefused = transfer.wrongRange || (from.offset > 0 && status == 416);
    return result;
}

// A HEAD request on the kept handle: the same limits and redirects as a fetch, no body.
HttpSizeResult CurlHttpClient::size(const QString& url, const HttpLimits& limits) {
    const CurlLibrary* curl = curlLibrary();
    HttpSizeResult result;
    CURL* handle = freshHandle(curl, result.error);
    if (handle == nullptr) {
        return result;
    }
    const BodySink noBody = [](const char*, qint64) { return false; };
    Transfer transfer{curl, handle, &noBody, limits};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    configure(handle, url.toUtf8(), limits, transfer, errorBuffer);
    curl->easySetopt(handle, CURLOPT_NOBODY, 1L);

    const CURLcode code = curl->easyPerform(handle);
    long status = 0;
    curl->easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t length = -1;
    curl->easyGetinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    // The buffer ends with this call; the handle lives on.
    curl->easySetopt(handle, CURLOPT_ERRORBUFFER, nullptr);
    result.status = static_cast<int>(status);
    result.bytes = length;
    result.transferComplete = code == CURLE_OK;
    result.error = transferError(code, status, transfer, errorBuffer);
    return result;
}

}  // namespace

HttpClient& defaultHttpClient() {
    static CurlHttpClient client;
    return client;
}

std::unique_ptr<HttpClient> newHttpClient() {
    return std::make_unique<CurlHttpClient>();
}

}  // namespace pelorix::platform
