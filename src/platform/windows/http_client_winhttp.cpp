#include "platform/http_client.h"

#include "platform/windows/winhttp_exchange.h"

#include <memory>

namespace pelorix::platform {
namespace {

using windows::Exchange;
using windows::InternetHandle;
using windows::isSuccessStatus;
using windows::winHttpErrorText;

// The system's proxy settings apply, as they did for the Internet Transfer Control. The
// automatic kind (Windows 8.1 on) also follows a configuration script.
InternetHandle openSession() {
    const wchar_t* agent = L"PelorixUpdater";
    HINTERNET session = WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr) {
        session = WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    }
    return InternetHandle(session);
}

// One session for every fetch of the process: WinHTTP keeps its connections with the session,
// so the files of a release travel over one connection as with a browser.
class WinHttpClient final : public HttpClient {
  public:
    HttpResult get(const QString& url, const HttpLimits& limits, const BodySink& sink) override {
        return getFrom(url, limits, {}, {}, sink);
    }
    HttpResult getFrom(const QString& url, const HttpLimits& limits, const HttpContinuation& from,
                       const BodyStartSink& start, const BodySink& sink) override;
    HttpSizeResult size(const QString& url, const HttpLimits& limits) override;

  private:
    // The kept session, opened on the first fetch; nullptr when WinHTTP cannot be used.
    HINTERNET session(Exchange& exchange);

    InternetHandle session_;
};

HINTERNET WinHttpClient::session(Exchange& exchange) {
    if (!session_) {
        session_ = openSession();
        if (!session_) {
            exchange.fail(winHttpErrorText(GetLastError()));
        }
    }
    return session_.get();
}

// Before the first byte: the body continues the file only as a 206 for the range asked for.
bool startBody(Exchange& exchange, const HttpContinuation& from, const BodyStartSink& start) {
    const HttpBodyStart body = exchange.bodyStart();
    if ((exchange.status() == 206 && body.offset != from.offset) || body.offset < 0) {
        exchange.fail(
            QStringLiteral("the server sent another part of the file than the one asked for"));
        exchange.refuseContinuation();
        return false;
    }
    if (start && !start(body)) {
        exchange.fail(QStringLiteral("the received data could not be stored"));
        return false;
    }
    return true;
}

HttpResult WinHttpClient::getFrom(const QString& url, const HttpLimits& limits,
                                  const HttpContinuation& from, const BodyStartSink& start,
                                  const BodySink& sink) {
    Exchange exchange(limits);
    HttpResult result;
    HINTERNET kept = session(exchange);
    if (kept != nullptr && exchange.open(kept, url, L"GET") && exchange.askFrom(from) &&
        exchange.receiveHead()) {
        if (isSuccessStatus(exchange.status())) {
            result.transferComplete =
                startBody(exchange, from, start) && exchange.receiveBody(sink);
        } else {
            // An error page is no file: none of it reaches the sink. As with curl, the
            // transfer counts as complete only when the page has no body to refuse.
            exchange.fail(QStringLiteral("HTTP status %1").arg(exchange.status()));
            result.transferComplete = exchange.announcedLength() == 0;
        }
    }
    result.status = static_cast<int>(exchange.status());
    result.bytesReceived = exchange.bytes();
    result.error = exchange.error();
    result.continuationRefused =
        exchange.continuationRefused() || (from.offset > 0 && exchange.status() == 416);
    return result;
}

// A HEAD request: the same limits and redirects as a fetch, no body.
HttpSizeResult WinHttpClient::size(const QString& url, const HttpLimits& limits) {
    Exchange exchange(limits);
    HttpSizeResult result;
    HINTERNET kept = session(exchange);
    if (kept != nullptr && exchange.open(kept, url, L"HEAD") && exchange.receiveHead()) {
        result.transferComplete = true;
        result.bytes = exchange.announcedLength();
        if (!isSuccessStatus(exchange.status())) {
            exchange.fail(QStringLiteral("HTTP status %1").arg(exchange.status()));
        }
    }
    result.status = static_cast<int>(exchange.status());
    result.error = exchange.error();
    return result;
}

}  // namespace

HttpClient& defaultHttpClient() {
    static WinHttpClient client;
    return client;
}

std::unique_ptr<HttpClient> newHttpClient() {
    return std::make_unique<WinHttpClient>();
}

}  // namespace pelorix::platform
