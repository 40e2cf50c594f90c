// A TCP proxy on 127.0.0.1 that behaves like a line across the internet between its clients and
// one server on this machine:
//  - a new connection costs one round trip before its first byte goes through (the handshake);
//  - every byte arrives half a round trip after it was sent, in each direction;
//  - each direction has one bandwidth, shared by all connections: a piece of data occupies the
//    line for its length divided by the bandwidth, after whatever was sent before it.
//
//   bench_link_proxy --target-port PORT --round-trip-ms MS --megabits-per-second MBIT
//                    [--lifetime-seconds S]
//
// Prints "listening on http://127.0.0.1:PORT" once it accepts connections, and ends by itself
// after the lifetime (default 600 s) or when it is terminated.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Duration = std::chrono::duration<double>;

struct Options {
    int targetPort = 0;
    double roundTripSeconds = 0.060;
    double bytesPerSecond = 20e6 / 8;
    int lifetimeSeconds = 600;
};

// One direction of the line.
class Line {
  public:
    Line(double bytesPerSecond, Duration delay) : bytesPerSecond_(bytesPerSecond), delay_(delay) {}

    // When a piece of this many bytes, sent now, has arrived at the other end.
    Clock::time_point arrivalOf(size_t bytes) {
        std::lock_guard lock(mutex_);
        const Clock::time_point start = std::max(Clock::now(), free_);
        free_ = start + std::chrono::duration_cast<Clock::duration>(
                            Duration(static_cast<double>(bytes) / bytesPerSecond_));
        return free_ + std::chrono::duration_cast<Clock::duration>(delay_);
    }

  private:
    std::mutex mutex_;
    double bytesPerSecond_;
    Duration delay_;
    Clock::time_point free_ = Clock::now();
};

struct Piece {
    Clock::time_point arrival;
    std::string bytes;  // empty: the sender closed its side
};

// Carries one direction of one connection: a reader takes what the sender sends and puts it on
// the line; a writer hands each piece to the receiver when it arrives.
class Pump {
  public:
    Pump(int from, int to, Line& line) : from_(from), to_(to), line_(line) {}

    void run() {
        std::thread writer([this] { deliver(); });
        receive();
        writer.join();
    }

  private:
    void receive() {
        std::vector<char> buffer(16 * 1024);
        for (;;) {
            const ssize_t got = ::read(from_, buffer.data(), buffer.size());
            const size_t size = got > 0 ? static_cast<size_t>(got) : 0;
            push({line_.arrivalOf(size), std::string(buffer.data(), size)});
            if (size == 0) {
                return;
            }
        }
    }

    void deliver() {
        for (;;) {
            const Piece piece = pop();
            std::this_thread::sleep_until(piece.arrival);
            if (piece.bytes.empty() || !writeAll(piece.bytes)) {
                ::shutdown(to_, SHUT_WR);
                ::shutdown(from_, SHUT_RD);  // a receiver that is gone ends the reader too
                drain();
                return;
            }
        }
    }

    bool writeAll(const std::string& bytes) const {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::send(to_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (wrote <= 0) {
                return false;
            }
            done += static_cast<size_t>(wrote);
        }
        return true;
    }

    // Waits for the reader's last piece so that it never pushes to a pump that is gone.
    void drain() {
        while (!pop().bytes.empty()) {
        }
    }

    void push(Piece piece) {
        {
            std::lock_guard lock(mutex_);
            pieces_.push_back(std::move(piece));
        }
        ready_.notify_one();
    }

    Piece pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !pieces_.empty(); });
        Piece piece = std::move(pieces_.front());
        pieces_.pop_front();
        return piece;
    }

    int from_;
    int to_;
    Line& line_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Piece> pieces_;
};

int connectTo(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

void noDelay(int socket) {
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void carry(int client, const Options& options, Line& up, Line& down) {
    // The handshake: the client's first bytes wait in its socket for one round trip.
    std::this_thread::sleep_for(Duration(options.roundTripSeconds));
    const int server = connectTo(options.targetPort);
    if (server >= 0) {
        noDelay(client);
        noDelay(server);
        Pump toServer(client, server, up);
        Pump toClient(server, client, down);
        std::thread upward([&] { toServer.run(); });
        toClient.run();
        upward.join();
        ::close(server);
    }
    ::close(client);
}

int listenOnLoopback() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket, 64) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return -1;
    }
    std::printf("listening on http://127.0.0.1:%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    return socket;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (name == "--target-port") {
            options.targetPort = static_cast<int>(value);
        } else if (name == "--round-trip-ms") {
            options.roundTripSeconds = value / 1000;
        } else if (name == "--megabits-per-second") {
            options.bytesPerSecond = value * 1e6 / 8;
        } else if (name == "--lifetime-seconds") {
            options.lifetimeSeconds = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.targetPort > 0 && options.bytesPerSecond > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: bench_link_proxy --target-port PORT --round-trip-ms MS "
                     "--megabits-per-second MBIT [--lifetime-seconds S]\n");
        return 2;
    }
    const int listener = listenOnLoopback();
    if (listener < 0) {
        std::perror("bench_link_proxy");
        return 1;
    }
    // Bounded in time whatever happens to the script that started it.
    std::thread([lifetime = options.lifetimeSeconds] {
        std::this_thread::sleep_for(std::chrono::seconds(lifetime));
        std::_Exit(0);
    }).detach();
    const Duration halfRoundTrip(options.roundTripSeconds / 2);
    Line up(options.bytesPerSecond, halfRoundTrip);
    Line down(options.bytesPerSecond, halfRoundTrip);
    for (;;) {
        const int client = ::accept(listener, nullptr, nullptr);
        if (client >= 0) {
            std::thread([client, &options, &up, &down] { carry(client, options, up, down); })
                .detach();
        }
    }
}
