#pragma once

#include <QString>

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pelorix::e2e {

// An update server on 127.0.0.1 that serves the files of a release folder under /Updater, but
// holds back the answer for one file until the test lets it go: the download of that file is
// then in progress for as long as the test needs.
class HeldReleaseServer {
  public:
    HeldReleaseServer(QString folder, QString heldFile);
    ~HeldReleaseServer();
    HeldReleaseServer(const HeldReleaseServer&) = delete;
    HeldReleaseServer& operator=(const HeldReleaseServer&) = delete;

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/Updater").arg(port_); }
    // True once the held file has been asked for.
    bool waitForHeldRequest(std::chrono::milliseconds limit);
    void release();

  private:
    void answer(const httplib::Request& request, httplib::Response& response);

    QString folder_;
    QString heldFile_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool requested_ = false;
    bool released_ = false;
};

}  // namespace pelorix::e2e
