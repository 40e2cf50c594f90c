#include "release_server.h"

#include <QCryptographicHash>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <thread>

namespace pelorix::tools {
namespace {

// A stalled answer gives up after this long so that it cannot hold a worker thread forever.
constexpr auto kLongestStall = std::chrono::minutes(10);

std::string errorPage(int status) {
    return "<html><body><h1>" + std::to_string(status) + "</h1></body></html>";
}

// A strong validator of the file's content, as a web server would send it.
std::string entityTag(const std::string& content) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromRawData(content.data(), static_cast<qsizetype>(content.size())),
        QCryptographicHash::Sha256);
    return "\"" + digest.toHex().left(16).toStdString() + "\"";
}

// The first byte of a "bytes=N-" request; -1 for none or another form.
qint64 requestedStart(const httplib::Request& request) {
    const QString range = QString::fromStdString(request.get_header_value("Range")).trimmed();
    if (!range.startsWith("bytes=") || !range.endsWith('-')) {
        return -1;
    }
    bool valid = false;
    const qint64 start = range.mid(6).chopped(1).toLongLong(&valid);
    return valid && start >= 0 ? start : -1;
}

std::string contentType(const QString& name) {
    return name.endsWith(".txt", Qt::CaseInsensitive) ? "text/plain; charset=windows-1252"
                                                      : "application/octet-stream";
}

}  // namespace

ReleaseServer::ReleaseServer(ServeOptions options) : options_(std::move(options)) {
    // A client that keeps its connection open between files (as the updater does) holds a
    // worker until this time-out, and stop() waits for it: keep the end of the server quick.
    server_.set_keep_alive_timeout(1);
    server_.Get(R"(/(Updater|sources)/([^/]+))",
                [this](const httplib::Request& request, httplib::Response& response) {
                    answer(request, response);
                });
    server_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            response.set_content(errorPage(response.status), "text/html");
        }
    });
    if (!options_.quiet) {
        server_.set_logger([](const httplib::Request& request, const httplib::Response& response) {
            // The body's length last: what the answer cost the line.
            const size_t length =
                response.body.empty() ? response.content_length_ : response.body.size();
            std::fprintf(stderr, "%s %s %d %zu\n", request.method.c_str(), request.path.c_str(),
                         response.status, length);
        });
    }
}

int ReleaseServer::bind() {
    if (options_.port == 0) {
        return server_.bind_to_any_port("127.0.0.1");
    }
    return server_.bind_to_port("127.0.0.1", options_.port) ? options_.port : -1;
}

void ReleaseServer::run() {
    server_.listen_after_bind();
}

void ReleaseServer::stop() {
    stopping_ = true;
    server_.stop();
}

void ReleaseServer::answer(const httplib::Request& request, httplib::Response& response) {
    const QString area = QString::fromStdString(request.matches[1]);
    const QString name = QString::fromStdString(request.matches[2]);
    const auto fault = options_.misbehaviours.find(name);
    const bool hasFault = fault != options_.misbehaviours.end();
    if (hasFault && fault->second.kind == Misbehaviour::Kind::Status) {
        respondWithStatus(static_cast<int>(fault->second.value), response);
        return;
    }
    QFile file(options_.root + "/" + area + "/" + name);
    if (name == "." || name == ".." || !file.open(QIODevice::ReadOnly)) {
        response.status = 404;
        return;
    }
    std::string content = file.readAll().toStdString();
    response.set_header("ETag", entityTag(content));
    // Ranges are answered here, so that they can also be answered wrongly: the server's own
    // handling of them is switched off for this request.
    const qint64 start = requestedStart(request);
    const_cast<httplib::Request&>(request).ranges.clear();
    if (start >= 0 &&
        answerRange(request, start, hasFault ? std::optional(fault->second.kind) : std::nullopt,
                    content, response)) {
        return;
    }
    const bool rangeFault = hasFault && (fault->second.kind == Misbehaviour::Kind::NoRanges ||
                                         fault->second.kind == Misbehaviour::Kind::WrongRange ||
                                         fault->second.kind == Misbehaviour::Kind::RefuseRange);
    if (rangeFault) {
        response.set_content(content, contentType(name));
        return;
    }
    if (hasFault && fault->second.kind == Misbehaviour::Kind::Trickle) {
        sendTrickling(std::chrono::milliseconds(fault->second.value), std::move(content), response);
        return;
    }
    if (hasFault && fault->second.kind == Misbehaviour::Kind::Endless) {
        sendEndlessly(static_cast<size_t>(fault->second.value), std::move(content), response);
        return;
    }
    if (hasFault) {
        sendPartly(fault->second, std::move(content), response);
        return;
    }
    response.set_content(content, contentType(name));
}

// True when the request for the rest of the file from `start` is answered: with that rest
// (206), 416 beyond the end, or as the fault says. False leaves the whole file to be sent: the
// file has changed since the client's validator (If-Range), or the fault ignores ranges.
bool ReleaseServer::answerRange(const httplib::Request& request, qint64 start,
                                std::optional<Misbehaviour::Kind> fault, std::string& content,
                                httplib::Response& response) {
    const std::string condition = request.get_header_value("If-Range");
    if (fault == Misbehaviour::Kind::NoRanges ||
        (!condition.empty() && condition != entityTag(content))) {
        return false;
    }
    const auto size = static_cast<qint64>(content.size());
    if (fault == Misbehaviour::Kind::RefuseRange || start >= size) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(size));
        return true;
    }
    const qint64 from = fault == Misbehaviour::Kind::WrongRange ? 0 : start;
    response.status = 206;
    response.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                             std::to_string(size - 1) + "/" + std::to_string(size));
    response.set_content(content.substr(static_cast<size_t>(from)), "application/octet-stream");
    return true;
}

void ReleaseServer::respondWithStatus(int status, httplib::Response& response) {
    response.status = status;
    response.set_content(errorPage(status), "text/html");
}

void ReleaseServer::sendPartly(const Misbehaviour& fault, std::string content,
                               httplib::Response& response) {
    const size_t length = content.size();
    const size_t sent = std::min(length, static_cast<size_t>(fault.value));
    const bool stall = fault.kind == Misbehaviour::Kind::Stall;
    response.set_content_provider(
        length, "application/octet-stream",
        [this, content = std::move(content), sent, stall](size_t offset, size_t,
                                                          httplib::DataSink& sink) {
            if (offset < sent) {
                return sink.write(content.data() + offset, sent - offset);
            }
            if (stall) {
                waitWhileConnected(sink);
            }
            return false;  // the connection closes before the announced length
        });
}

void ReleaseServer::sendTrickling(std::chrono::milliseconds interval, std::string content,
                                  httplib::Response& response) {
    const size_t length = content.size();
    response.set_content_provider(length, "application/octet-stream",
                                  [this, content = std::move(content), interval](
                                      size_t offset, size_t, httplib::DataSink& sink) {
                                      std::this_thread::sleep_for(interval);
                                      return !stopping_ && sink.write(content.data() + offset, 1);
                                  });
}

void ReleaseServer::sendEndlessly(size_t headLength, std::string content,
                                  httplib::Response& response) {
    content.resize(std::min(content.size(), headLength));
    response.set_chunked_content_provider(
        "application/octet-stream",
        [this, content = std::move(content)](size_t offset, httplib::DataSink& sink) {
            static const std::string zeros(64 * 1024, '\0');
            const std::string& piece = offset < content.size() ? content : zeros;
            const size_t start = offset < content.size() ? offset : 0;
            return !stopping_ && sink.write(piece.data() + start, piece.size() - start);
        });
}

void ReleaseServer::waitWhileConnected(httplib::DataSink& sink) const {
    const auto deadline = std::chrono::steady_clock::now() + kLongestStall;
    while (!stopping_ && sink.is_writable() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace pelorix::tools
