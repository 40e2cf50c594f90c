#include "held_release_server.h"

#include <QFile>

namespace pelorix::e2e {

namespace {
// A held answer goes out after this long in any case, so that no test waits for ever.
constexpr auto kLongestHold = std::chrono::seconds(30);
}  // namespace

HeldReleaseServer::HeldReleaseServer(QString folder, QString heldFile)
    : folder_(std::move(folder)), heldFile_(std::move(heldFile)) {
    server_.Get(R"(/Updater/([^/]+))",
                [this](const httplib::Request& request, httplib::Response& response) {
                    answer(request, response);
                });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

HeldReleaseServer::~HeldReleaseServer() {
    release();
    server_.stop();
    thread_.join();
}

void HeldReleaseServer::answer(const httplib::Request& request, httplib::Response& response) {
    const QString name = QString::fromStdString(request.matches[1]);
    QFile file(folder_ + "/" + name);
    if (!file.open(QIODevice::ReadOnly)) {
        response.status = 404;
        return;
    }
    if (name == heldFile_) {
        std::unique_lock lock(mutex_);
        requested_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, kLongestHold, [this] { return released_; });
    }
    response.set_content(file.readAll().toStdString(), "application/octet-stream");
}

bool HeldReleaseServer::waitForHeldRequest(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return requested_; });
}

void HeldReleaseServer::release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

}  // namespace pelorix::e2e
