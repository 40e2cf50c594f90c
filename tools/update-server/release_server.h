#pragma once

#include "serve_options.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

namespace pelorix::tools {

// Serves <root>/Updater/<name> as /Updater/<name> and <root>/sources/<name> as /sources/<name>
// on 127.0.0.1; everything else answers 404. Files are read anew for every request.
class ReleaseServer {
  public:
    explicit ReleaseServer(ServeOptions options);

    // Binds 127.0.0.1 and the configured port (0: a free one); the port, or -1.
    int bind();
    // Answers requests until stop().
    void run();
    // May be called from another thread.
    void stop();

  private:
    void answer(const httplib::Request& request, httplib::Response& response);
    static void respondWithStatus(int status, httplib::Response& response);
    static bool answerRange(const httplib::Request& request, qint64 start,
                            std::optional<Misbehaviour::Kind> fault, std::string& content,
                            httplib::Response& response);
    // Sends the first bytes of the file, then stalls or closes the connection.
    void sendPartly(const Misbehaviour& fault, std::string content, httplib::Response& response);
    void waitWhileConnected(httplib::DataSink& sink) const;
    void sendTrickling(std::chrono::milliseconds interval, std::string content,
                       httplib::Response& response);
    void sendEndlessly(size_t headLength, std::string content, httplib::Response& response);

    ServeOptions options_;
    httplib::Server server_;
    std::atomic<bool> stopping_{false};
};

}  // namespace pelorix::tools
