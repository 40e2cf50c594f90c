#include "platform/http_client.h"
#include "support/http_test_server.h"
#include "support/os_facts.h"

#include <gtest/gtest.h>
#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace pelorix::test {
namespace {

using namespace std::chrono_literals;

QByteArray bodyOf(qint64 length) {
    QByteArray body(length, '\0');
    for (qint64 i = 0; i < length; ++i) {
        body[i] = static_cast<char>(i * 7 + 3);
    }
    return body;
}

// Answers every request with a chunked body of `length` bytes of bodyOf(): no length announced.
class UnannouncedServer {
  public:
    explicit UnannouncedServer(qint64 length) {
        server_.Get(".*", [length](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "application/octet-stream", [length](size_t offset, httplib::DataSink& sink) {
                    const QByteArray body = bodyOf(length);
                    if (offset >= static_cast<size_t>(length)) {
                        sink.done();
                        return true;
                    }
                    const size_t piece = std::min<size_t>(1000, length - offset);
                    return sink.write(body.constData() + offset, piece);
                });
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) {
            std::this_thread::sleep_for(1ms);
        }
    }
    ~UnannouncedServer() {
        server_.stop();
        thread_.join();
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

  private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

enum class Target { Server, Unannounced, ClosedPort };
enum class Ask { Get, Size };
// Stands for "any count up to the maximum body size".
constexpr qint64 kUpToMaximum = -2;
constexpr int kAnyStatus = -1;

struct Case {
    const char* name;
    Ask ask;
    Target target;
    const char* path;
    qint64 maximumBodySize;
    std::chrono::milliseconds stallTimeout;
    bool abortAfterFirstPiece;
    // Expected:
    bool ok;
    bool transferComplete;
    int status;
    qint64 bytes;  // received by get(), announced to size()
    const char* error;
};

constexpr qint64 kMax = 256 * 1024 * 1024;
constexpr qint64 kUnannouncedLength = 5000;

const Case kCases[] = {
    {"PlainBody", Ask::Get, Target::Server, "/file", kMax, 500ms, false, true, true, 200, 3000, ""},
    {"NotFound", Ask::Get, Target::Server, "/missing", kMax, 500ms, false, false, false, 404, 0,
     "HTTP status 404"},
    {"ShortBody", Ask::Get, Target::Server, "/cut", kMax, 500ms, false, false, false, 200, 3000,
     nullptr},
    {"StallInBody", Ask::Get, Target::Server, "/stall", kMax, 500ms, false, false, false, 200, 1000,
     "no data received for 500 ms"},
    {"StallBeforeAnswer", Ask::Get, Target::Server, "/silent", kMax, 500ms, false, false, false, 0,
     0, "no data received for 500 ms"},
    {"AnnouncedOverMaximum", Ask::Get, Target::Server, "/file", 2999, 500ms, false, false, false,
     200, 0, "longer than 2999 bytes"},
    {"ReceivedOverMaximum", Ask::Get, Target::Unannounced, "/any", 2500, 500ms, false, false, false,
     200, kUpToMaximum, "longer than 2500 bytes"},
    {"UnannouncedBody", Ask::Get, Target::Unannounced, "/any", kMax, 500ms, false, true, true, 200,
     kUnannouncedLength, ""},
    {"RefusedConnection", Ask::Get, Target::ClosedPort, "/file", kMax, 500ms, false, false, false,
     0, 0, nullptr},
    // With a stall limit far beyond the test's time, only the abort ends the fetch in time.
    {"AbortRequested", Ask::Get, Target::Server, "/stall", kMax, 20'000ms, true, false, false, 200,
     kUpToMaximum, "the fetch was abandoned"},
    {"Redirect", Ask::Get, Target::Server, "/moved", kMax, 500ms, false, true, true, 200, 3000, ""},
    {"RedirectLoop", Ask::Get, Target::Server, "/loop", kMax, 500ms, false, false, false,
     kAnyStatus, 0, nullptr},
    {"SizeAnnounced", Ask::Size, Target::Server, "/file", kMax, 500ms, false, true, true, 200, 3000,
     ""},
    {"SizeThroughRedirect", Ask::Size, Target::Server, "/moved", kMax, 500ms, false, true, true,
     200, 3000, ""},
    {"SizeUnannounced", Ask::Size, Target::Unannounced, "/any", kMax, 500ms, false, true, true, 200,
     -1, ""},
};

class WinHttpClient : public ::testing::TestWithParam<Case> {
  protected:
    WinHttpClient() {
        server.serve("/file", bodyOf(3000));
        server.closeAfter("/cut", bodyOf(3000), 10'000);
        server.stallAfter("/stall", bodyOf(1000), 100'000);
        server.stallBeforeAnswer("/silent");
        server.redirect("/moved", "/file");
        server.redirect("/loop", "/loop");
    }

    QString url(const Case& row) const {
        switch (row.target) {
            case Target::Server:
                return server.address() + row.path;
            case Target::Unannounced:
                return unannounced.address() + row.path;
            case Target::ClosedPort:
                break;
        }
        int closedPort = 0;
        {
            HttpTestServer gone;
            closedPort = gone.port();
        }
        return QStringLiteral("http://127.0.0.1:%1%2").arg(closedPort).arg(row.path);
    }

    platform::HttpLimits limitsOf(const Case& row) {
        platform::HttpLimits limits;
        limits.connectTimeout = 1000ms;
        limits.stallTimeout = row.stallTimeout;
        limits.maximumBodySize = row.maximumBodySize;
        limits.abortRequested = [this] { return abortNow; };
        return limits;
    }

    bool abortNow = false;
    HttpTestServer server;
    UnannouncedServer unannounced{kUnannouncedLength};
};

void expectError(const QString& error, const Case& row) {
    if (row.error == nullptr) {
        EXPECT_FALSE(error.isEmpty());
    } else if (row.error[0] == '\0') {
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    } else {
        EXPECT_TRUE(error.contains(QString::fromLatin1(row.error))) << error.toStdString();
    }
}

TEST_P(WinHttpClient, AnswersAsTheLinuxClientDoes) {
    const Case& row = GetParam();
    if (std::string_view(row.name) == "StallBeforeAnswer" && test::runningUnderWine()) {
        // Windows applies the receive time-outs to the response head as to the body; Wine 8
        // waits for a silent server's answer.
        GTEST_SKIP() << "Wine's WinHTTP applies no receive time-out to the response head";
    }
    const platform::HttpLimits limits = limitsOf(row);
    const auto start = std::chrono::steady_clock::now();
    if (row.ask == Ask::Size) {
        const platform::HttpSizeResult result =
            platform::defaultHttpClient().size(url(row), limits);
        EXPECT_EQ(result.ok(), row.ok);
        EXPECT_EQ(result.transferComplete, row.transferComplete);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.bytes, row.bytes);
        expectError(result.error, row);
    } else {
        QByteArray received;
        const platform::HttpResult result =
            platform::defaultHttpClient().get(url(row), limits, [&](const char* data, qint64 size) {
                received.append(data, size);
                abortNow = row.abortAfterFirstPiece;
                return true;
            });
        EXPECT_EQ(result.ok(), row.ok);
        EXPECT_EQ(result.transferComplete, row.transferComplete);
        if (row.status != kAnyStatus) {
            EXPECT_EQ(result.status, row.status);
        }
        EXPECT_EQ(result.bytesReceived, received.size());
        if (row.bytes == kUpToMaximum) {
            EXPECT_LE(received.size(), row.maximumBodySize);
        } else {
            EXPECT_EQ(received.size(), row.bytes);
        }
        // Whatever reached the sink is the served body's beginning, never an error page.
        EXPECT_EQ(received, bodyOf(received.size()));
        expectError(result.error, row);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

INSTANTIATE_TEST_SUITE_P(Answers, WinHttpClient, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& row) {
                             return std::string(row.param.name);
                         });

}  // namespace
}  // namespace pelorix::test
