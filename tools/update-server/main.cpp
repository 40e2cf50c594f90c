// pelorix-update-server: a stand-in for the Pelorix update server, for the demo and for tests.
//
//   pelorix-update-server serve --root DIR [--port N] [--quiet]
//                               [--status NAME:CODE] [--stall NAME:BYTES] [--close NAME:BYTES]
//                               [--trickle NAME:MILLISECONDS] [--endless NAME:BYTES]
//                               [--no-ranges NAME] [--wrong-range NAME] [--refuse-range NAME]
//       Serves DIR/Updater/<name> as http://127.0.0.1:PORT/Updater/<name> and DIR/sources/<name>
//       as /sources/<name>; a missing file or any other path answers 404. Listens on 127.0.0.1
//       only; --port 0 (the default) picks a free port. The first line on standard output is
//       "listening on http://127.0.0.1:PORT". Each request is logged on standard error unless
//       --quiet. Runs until SIGINT or SIGTERM, then exits with status 0.
//       Faults for one file NAME (repeatable, one per name):
//         --status NAME:CODE   answer with the HTTP status CODE and a short error page,
//                              whether or not the file exists
//         --stall NAME:BYTES   send the first BYTES bytes, then nothing while the client waits
//         --close NAME:BYTES   send the first BYTES bytes, then close the connection
//         --trickle NAME:MILLISECONDS  send the file one byte every MILLISECONDS
//         --endless NAME:BYTES send the first BYTES bytes of the file, then zeros without end
//                              (no announced length)
//         --no-ranges NAME     answer a range request with the whole file
//         --wrong-range NAME   answer a range request with a 206 for the whole file
//         --refuse-range NAME  answer every range request with 416
//       Every file goes out with an ETag; a range request ("bytes=N-") gets the rest of the
//       file, or the whole file when its If-Range names another ETag.
//
//   pelorix-update-server write-release DIR [--language-source FILE] [--key-folder KEYDIR]
//                                       [--timestamp SECONDS] [--expires-days DAYS]
//                                       [--payload-folder PAYLOAD]
//       Lays out a demo release in DIR: DIR/Updater holds the sixteen release files, each 5000
//       bytes longer than the updater's minimum size for it (programs are shell scripts that
//       say they ran), DIR/sources holds PX_History.txt. Language.ini is written in
//       Windows-1252 from FILE (a UTF-8 language file with a [LanguageSettings] section) or
//       from a small built-in one, padded with comment lines. A release file found by its name
//       in PAYLOAD (e.g. real Windows programs and libraries) is taken from there instead,
//       lengthened with zero bytes to its size. DIR/Updater also gets SHA256SUMS
//       and SHA256SUMS.minisig, as sha256sum and `minisign -S` write them, signed with the key
//       pair in KEYDIR (default DIR/key): PelorixUpdater.key (a minisign secret key without a
//       password) is used when there, otherwise a new pair is written there with
//       PelorixUpdater.pub, the public key to install beside the updater. The trusted comment's
//       timestamp is SECONDS (default: now); with --expires-days it also carries
//       "expires:<timestamp + DAYS days>", after which an updater refuses the list.
//
// Exit status: 0 success, 1 failure, 2 bad command line.

#include "demo_release.h"
#include "release_server.h"
#include "serve_options.h"

#include <QDateTime>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

using pelorix::tools::ReleaseServer;

constexpr int kBadCommandLine = 2;
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
// A hundred years: longer is a typing mistake, and the sum must not overflow.
constexpr qint64 kLongestValidityDays = 36500;

int usage(const QString& problem) {
    std::fprintf(stderr,
                 "pelorix-update-server: %s\n"
                 "usage: pelorix-update-server serve --root DIR [--port N] [--quiet]\n"
                 "           [--status NAME:CODE] [--stall NAME:BYTES] [--close NAME:BYTES]\n"
                 "           [--trickle NAME:MILLISECONDS] [--endless NAME:BYTES]\n"
                 "           [--no-ranges NAME] [--wrong-range NAME] [--refuse-range NAME]\n"
                 "       pelorix-update-server write-release DIR [--language-source FILE]\n"
                 "           [--key-folder KEYDIR] [--timestamp SECONDS] [--expires-days DAYS]\n"
                 "           [--payload-folder PAYLOAD]\n",
                 qPrintable(problem));
    return kBadCommandLine;
}

// Serves until SIGINT or SIGTERM; the signals are taken by sigwait, so the server stops cleanly.
int serve(const QStringList& arguments) {
    QString error;
    auto options = pelorix::tools::parseServeOptions(arguments, error);
    if (!options) {
        return usage(error);
    }
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);  // before any thread starts

    ReleaseServer server(std::move(*options));
    const int port = server.bind();
    if (port < 0) {
        std::fprintf(stderr, "pelorix-update-server: cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%d\n", port);
    std::fflush(stdout);
    std::thread loop([&server] { server.run(); });
    int received = 0;
    sigwait(&endSignals, &received);
    server.stop();
    loop.join();
    return 0;
}

int writeRelease(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments[0].startsWith("--")) {
        return usage("write-release needs a folder");
    }
    QString languageSource;
    QString payloadFolder;
    QString keyFolder = arguments[0] + "/key";
    qint64 timestamp = QDateTime::currentSecsSinceEpoch();
    std::optional<qint64> expiresDays;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        const QString value = arguments.value(i + 1);
        bool valid = i + 1 < arguments.size();
        if (option == "--language-source") {
            languageSource = value;
        } else if (option == "--payload-folder") {
            payloadFolder = value;
        } else if (option == "--key-folder") {
            keyFolder = value;
        } else if (option == "--timestamp") {
            timestamp = value.toLongLong(&valid);
            valid = valid && timestamp >= 0;
        } else if (option == "--expires-days") {
            expiresDays = value.toLongLong(&valid);
            valid = valid && *expiresDays >= 1 && *expiresDays <= kLongestValidityDays;
        } else {
            return usage("unexpected argument " + option);
        }
        if (!valid) {
            return usage("bad or missing value for " + option);
        }
    }
    QString error;
    pelorix::tools::SignatureTimes times{timestamp, std::nullopt};
    if (expiresDays) {
        times.expires = timestamp + *expiresDays * kSecondsPerDay;
    }
    if (!pelorix::tools::writeDemoRelease(arguments[0], languageSource, payloadFolder, keyFolder,
                                          times, error)) {
        std::fprintf(stderr, "pelorix-update-server: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == "serve") {
        return serve(arguments);
    }
    if (command == "write-release") {
        return writeRelease(arguments);
    }
    return usage(command.isEmpty() ? "no command" : "unknown command " + command);
}
