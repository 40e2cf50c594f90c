#pragma once

#include "platform/http_client.h"

#include <windows.h>

#include <winhttp.h>

#include <chrono>
#include <memory>
#include <vector>

// One request of the WinHTTP client and its response, and what both client calls share.
namespace pelorix::platform::windows {

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

bool isSuccessStatus(DWORD status);
// WinHTTP's own codes have their texts in winhttp.dll, not in the system's table.
QString winHttpErrorText(DWORD code);

// One request and its response. Blocking WinHTTP gives no callback while it waits, so the
// stall and time limits are its receive timeout, and an abort is noticed between two reads:
// while nothing arrives, only when the stall limit ends the wait (coarser than curl's second).
class Exchange {
  public:
    explicit Exchange(const HttpLimits& limits) : limits_(limits) {}

    bool open(HINTERNET session, const QString& url, const wchar_t* verb);
    // Asks for the rest of the file only (before receiveHead).
    bool askFrom(const HttpContinuation& from);
    // Where the received head puts the body, and its validator.
    HttpBodyStart bodyStart() const;
    // Sends the request and waits for the final response's head, redirects followed.
    bool receiveHead();
    // The body, piece by piece, into the sink; false when the transfer broke off.
    bool receiveBody(const BodySink& sink);
    bool abortRequested();

    DWORD status() const { return status_; }
    // The announced Content-Length; -1 when there is none.
    qint64 announcedLength() const;
    // A header of the response as text; empty when it has none.
    QString header(DWORD query) const;
    qint64 bytes() const { return bytes_; }
    const QString& error() const { return error_; }
    void fail(const QString& error) { error_ = error; }
    void refuseContinuation() { continuationRefused_ = true; }
    bool continuationRefused() const { return continuationRefused_; }

  private:
    std::chrono::milliseconds remaining() const;
    bool setReceiveTimeout();
    void failWith(DWORD code) { fail(winHttpErrorText(code)); }
    // Why a wait for the answer failed: a timeout there is the stall or the time limit.
    void failWaiting();
    void failTooLarge();
    void failOverTime();
    bool deliver(const BodySink& sink, const char* data, qint64 length);
    // The next piece of the body into the sink; `ended` when the body is over.
    bool readPiece(const BodySink& sink, std::vector<char>& buffer, bool& ended);

    const HttpLimits& limits_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    InternetHandle connection_;
    InternetHandle request_;
    bool waitEndsAtTotal_ = false;
    bool continuationRefused_ = false;
    DWORD status_ = 0;
    qint64 bytes_ = 0;
    QString error_;
};

}  // namespace pelorix::platform::windows
