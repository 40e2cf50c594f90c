#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>

namespace pelorix::platform {

// How long a fetch may wait and how much it may receive.
struct HttpLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    // The fetch fails when no byte (header or body) has arrived for this long.
    std::chrono::milliseconds stallTimeout{10'000};
    // The whole fetch fails after this long, even while bytes keep trickling in.
    std::chrono::milliseconds totalTimeout{std::chrono::minutes(30)};
    // A body longer than this fails; one announced longer fails before any of it is received.
    qint64 maximumBodySize = qint64{256} * 1024 * 1024;
    // Asked while the fetch runs, also while nothing arrives (about once a second); true ends
    // the fetch at once.
    std::function<bool()> abortRequested;
};

// Receives the body piece by piece as it arrives; false aborts the fetch.
using BodySink = std::function<bool(const char* data, qint64 size)>;

// A request for the rest of a file whose first `offset` bytes are at hand.
struct HttpContinuation {
    qint64 offset = 0;
    // The validator of the response that brought them (ETag, or Last-Modified), sent as
    // If-Range: a server whose file has changed since sends the whole new one. Empty: none.
    QString validator;
};

// Where the body of a response lies in the file, told before its first byte reaches the sink.
struct HttpBodyStart {
    qint64 offset = 0;  // the continuation's offset (206 for that range), 0 for the whole file
    QString validator;  // the response's ETag, else its Last-Modified; empty when it has neither
};
// False aborts the fetch.
using BodyStartSink = std::function<bool(const HttpBodyStart&)>;

// The first byte a Content-Range value ("bytes 500-999/1000") covers; -1 when it names none.
qint64 contentRangeStart(const QString& value);

struct HttpResult {
    // The transfer ran to its end; false after a transport error, a stall, an exceeded limit or
    // an aborting sink.
    bool transferComplete = false;
    // Why the fetch failed; empty when it succeeded.
    QString error;
    // The status of the final response, 0 when none arrived.
    int status = 0;
    // Body bytes handed to the sink.
    qint64 bytesReceived = 0;
    // A continuation the server would not give: 416, or a 206 for another range.
    bool continuationRefused = false;

    bool ok() const { return transferComplete && status >= 200 && status <= 299; }
};

// The answer to a request for a file's size that does not fetch its body (HEAD).
struct HttpSizeResult {
    bool transferComplete = false;
    QString error;
    int status = 0;
    qint64 bytes = -1;  // the announced length; -1 when the server did not announce one

    bool ok() const { return transferComplete && status >= 200 && status <= 299; }
};

// A blocking HTTP client. Redirects are followed as a browser would; the body of a response
// whose status is not 2xx never reaches the sink.
class HttpClient {
  public:
    virtual ~HttpClient() = default;
    virtual HttpResult get(const QString& url, const HttpLimits& limits, const BodySink& sink) = 0;
    // As get, asking for the body from `from.offset` on (a range request) when the offset is
    // not 0. `start` hears before the first byte whether the body continues the file or is all
    // of it; a 206 for another range than the one asked for fails. This one asks for the whole
    // file, for clients that know no ranges.
    virtual HttpResult getFrom(const QString& url, const HttpLimits& limits,
                               const HttpContinuation& from, const BodyStartSink& start,
                               const BodySink& sink);
    // The size the server announces for the file, redirects followed as by get().
    virtual HttpSizeResult size(const QString& url, const HttpLimits& limits) = 0;
};

// The HTTP client of this platform.
HttpClient& defaultHttpClient();
// Another client of this platform, with connections of its own: fetches on several clients run
// side by side, each client used by one thread at a time.
std::unique_ptr<HttpClient> newHttpClient();

}  // namespace pelorix::platform
