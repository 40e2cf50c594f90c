#include "release_server.h"

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
            std::fprintf(stderr, "%s %s %d\n", request.method.c_str(), request.path.c_str(),
                         response.status);
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
