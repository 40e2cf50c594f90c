#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace pelorix::test {

// A real HTTP server on 127.0.0.1 (a free port) in a thread of the test, with answers set per
// path. Beside plain files it can misbehave: error statuses, stalls and connections closed in
// the middle of a body. Unknown paths answer 404.
class HttpTestServer {
  public:
    HttpTestServer() {
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            answer(request, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() does nothing before the loop runs, so a quick destruction would wait forever.
        while (!server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    ~HttpTestServer() {
        released_ = true;
        server_.stop();
        thread_.join();
    }

    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    // The release area: "http://127.0.0.1:PORT/Updater".
    QString base() const { return address() + "/Updater"; }

    // A file of the release area.
    void serveFile(const QString& name, const QByteArray& body) { serve("/Updater/" + name, body); }

    void serve(const QString& path, const QByteArray& body, int status = 200) {
        set(path, {Kind::Plain, body, status, 0, {}});
    }
    // Answers 302 with this location.
    void redirect(const QString& path, const QString& location) {
        set(path, {Kind::Redirect, location.toUtf8(), 302, 0, {}});
    }
    // Sends the head of a body announced as `announcedLength` bytes, then nothing more.
    void stallAfter(const QString& path, const QByteArray& head, qint64 announcedLength) {
        set(path, {Kind::Stall, head, 200, announcedLength, {}});
    }
    // Accepts the request and sends nothing at all, not even the status line.
    void stallBeforeAnswer(const QString& path) { set(path, {Kind::StallFirst, {}, 200, 0, {}}); }
    // Sends the head of a body announced as `announcedLength` bytes, then closes the connection.
    void closeAfter(const QString& path, const QByteArray& head, qint64 announcedLength) {
        set(path, {Kind::Close, head, 200, announcedLength, {}});
    }
    // Sends the body in `pieces` equal parts with `pause` before each (a slow but steady line).
    void trickle(const QString& path, const QByteArray& body, int pieces,
                 std::chrono::milliseconds pause) {
        set(path, {Kind::Trickle, body, 200, pieces, pause});
    }

    // The server closes a kept connection after this many requests on it.
    void closeConnectionsAfter(size_t requests) { server_.set_keep_alive_max_count(requests); }

    // How many connections the requests so far came in on (told apart by the client's port).
    size_t connectionCount() const {
        std::lock_guard lock(mutex_);
        return clientPorts_.size();
    }

    // The paths requested so far, in order.
    QStringList requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    enum class Kind { Plain, Redirect, Stall, StallFirst, Close, Trickle };
    struct Answer {
        Kind kind;
        QByteArray body;
        int status;
        qint64 count;  // announced length, or number of pieces
        std::chrono::milliseconds pause;
    };

    void set(const QString& path, Answer answer) {
        std::lock_guard lock(mutex_);
        answers_[path.toStdString()] = std::move(answer);
    }

    void answer(const httplib::Request& request, httplib::Response& response) {
        Answer found{Kind::Plain, "<html><body>Not Found</body></html>", 404, 0, {}};
        {
            std::lock_guard lock(mutex_);
            requests_.append(QString::fromStdString(request.path));
            clientPorts_.insert(request.remote_port);
            if (const auto it = answers_.find(request.path); it != answers_.end()) {
                found = it->second;
            }
        }
        // A 200 is left to the server, which makes it a 206 for a range request.
        if (found.status != 200) {
            response.status = found.status;
        }
        switch (found.kind) {
            case Kind::Plain:
                response.set_content(found.body.toStdString(), "application/octet-stream");
                break;
            case Kind::Redirect:
                response.set_redirect(found.body.toStdString(), found.status);
                break;
            case Kind::StallFirst:
                waitForRelease();
                break;
            case Kind::Stall:
            case Kind::Close:
                sendHeadThen(response, found);
                break;
            case Kind::Trickle:
                sendInPieces(response, found);
                break;
        }
    }

    void sendHeadThen(httplib::Response& response, const Answer& answer) {
        const bool stall = answer.kind == Kind::Stall;
        response.set_content_provider(
            static_cast<size_t>(answer.count), "application/octet-stream",
            [this, head = answer.body, stall](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset == 0 && !head.isEmpty()) {
                    return sink.write(head.constData(), static_cast<size_t>(head.size()));
                }
                if (stall) {
                    waitForRelease();
                }
                return false;  // closes the connection in the middle of the body
            });
    }

    void sendInPieces(httplib::Response& response, const Answer& answer) {
        const size_t pieceSize = static_cast<size_t>(answer.body.size() / answer.count);
        response.set_content_provider(
            static_cast<size_t>(answer.body.size()), "application/octet-stream",
            [body = answer.body, pause = answer.pause, pieceSize](size_t offset, size_t,
                                                                  httplib::DataSink& sink) {
                std::this_thread::sleep_for(pause);
                const size_t left = static_cast<size_t>(body.size()) - offset;
                const size_t size = left < 2 * pieceSize ? left : pieceSize;
                return sink.write(body.constData() + offset, size);
            });
    }

    void waitForRelease() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!released_ && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> released_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    QStringList requests_;
    std::set<int> clientPorts_;
};

}  // namespace pelorix::test
