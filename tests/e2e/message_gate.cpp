#include "message_gate.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorix::e2e {

namespace {

// The smallest pipe buffer Linux allows.
constexpr int kBufferSize = 4096;

QByteArray procFile(qint64 pid, const char* name) {
    QFile file(QString("/proc/%1/%2").arg(pid).arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// Asleep in write(2, ...): the kernel names the wait "pipe_write" (or "anon_pipe_write");
// where it hides the name, the system call in progress tells (x86-64: write is number 1).
bool blockedWritingStandardError(qint64 pid) {
    if (procFile(pid, "wchan").endsWith("pipe_write")) {
        return true;
    }
#if defined(__x86_64__)
    return procFile(pid, "syscall").startsWith("1 0x2 ");
#else
    return false;
#endif
}

}  // namespace

MessageGate::MessageGate(const QString& fifoPath, qsizetype passingBytes) : path_(fifoPath) {
    const QByteArray path = QFile::encodeName(fifoPath);
    if (::mkfifo(path.constData(), 0600) != 0) {
        throw std::runtime_error("message gate: no FIFO");
    }
    // Opened for reading first, so that opening for writing does not block.
    readFd_ = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int fillFd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (readFd_ < 0 || fillFd < 0 || ::fcntl(readFd_, F_SETPIPE_SZ, kBufferSize) != kBufferSize ||
        passingBytes >= kBufferSize) {
        throw std::runtime_error("message gate: cannot size the FIFO");
    }
    // One byte fewer than would let a message longer than one byte through.
    filler_ = kBufferSize - passingBytes - 1;
    const QByteArray filler(filler_, '#');
    const bool filled = ::write(fillFd, filler.constData(), filler.size()) == filler.size();
    ::close(fillFd);  // the bytes stay: the FIFO is still open for reading
    if (!filled) {
        throw std::runtime_error("message gate: cannot fill the FIFO");
    }
}

MessageGate::~MessageGate() {
    if (drain_.joinable()) {
        drain_.join();
    }
    if (readFd_ >= 0) {
        ::close(readFd_);
    }
    QFile::remove(path_);
}

bool MessageGate::waitUntilBlocked(qint64 pid, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (!deadline.hasExpired()) {
        if (blockedWritingStandardError(pid)) {
            return true;
        }
        QThread::msleep(10);
    }
    return false;
}

void MessageGate::open() {
    drain_ = std::thread([this] {
        char buffer[kBufferSize];
        for (;;) {
            pollfd readable{readFd_, POLLIN, 0};
            ::poll(&readable, 1, 100);
            const ssize_t length = ::read(readFd_, buffer, sizeof buffer);
            if (length > 0) {
                received_.append(buffer, length);
            } else if (length == 0) {
                return;  // every writer has closed it
            }
        }
    });
}

QString MessageGate::messages() {
    if (drain_.joinable()) {
        drain_.join();
    }
    return QString::fromUtf8(received_.mid(filler_));
}

}  // namespace pelorix::e2e
