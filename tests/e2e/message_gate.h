#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <thread>

namespace pelorix::e2e {

// Standard error of a headless updater through a FIFO whose buffer is kept nearly full, so that
// writing a message after the first `passingBytes` bytes blocks the updater: like a message box
// in the window, the message then waits until the test lets it through. Meanwhile the test can
// change the world, as a user would before pressing OK.
class MessageGate {
  public:
    MessageGate(const QString& fifoPath, qsizetype passingBytes);
    ~MessageGate();
    MessageGate(const MessageGate&) = delete;
    MessageGate& operator=(const MessageGate&) = delete;

    const QString& path() const { return path_; }
    // True once the process sleeps in a write to the FIFO.
    bool waitUntilBlocked(qint64 pid, std::chrono::milliseconds limit);
    // Lets every message through from now on; `messages` collects them.
    void open();
    // What the updater wrote, once it has closed standard error (it has ended).
    QString messages();

  private:
    QString path_;
    int readFd_ = -1;
    qsizetype filler_ = 0;
    QByteArray received_;
    std::thread drain_;
};

}  // namespace pelorix::e2e
