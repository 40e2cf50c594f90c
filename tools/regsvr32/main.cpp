// regsvr32: the stand-in for the Windows registrar of self-registering libraries.
//
//   regsvr32 [/u] [/s] <library>
//       Registers the library: adds its absolute path to the registry (once; registering a
//       registered library again changes nothing). With /u the path is removed instead.
//       /s suppresses every message. The switches may stand anywhere, in either case, and
//       may be written with "-" (-u, -s). A relative path counts from the current folder.
//   regsvr32 --list
//       Prints the registered paths, one a line.
//
// The registry is a text file, one absolute path a line: $PELORIX_COM_REGISTRY when set and
// non-empty, otherwise $HOME/.local/state/pelorix/com-registry.txt. Registrars started at the
// same time take turns on a lock of the registry.
//
// Exit status: 0 done; 1 bad command line; 3 the library file does not exist (nothing changes,
// for /u as well); 5 the registry could not be read or written.

#include "com_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

using pelorix::regsvr32::ComRegistry;

enum ExitStatus { kDone = 0, kBadCommandLine = 1, kLibraryMissing = 3, kRegistryFailed = 5 };

struct Request {
    bool unregister = false;
    bool silent = false;
    bool list = false;
    bool valid = false;
    QString library;
};

Request parse(int argc, char** argv) {
    Request request;
    int libraries = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QFile::decodeName(argv[i]);
        const QString lower = arg.toLower();
        if (lower == "/u" || lower == "-u") {
            request.unregister = true;
        } else if (lower == "/s" || lower == "-s") {
            request.silent = true;
        } else if (arg == "--list") {
            request.list = true;
        } else {
            request.library = arg;
            ++libraries;
        }
    }
    request.valid = request.list ? libraries == 0 : libraries == 1 && !request.library.isEmpty();
    return request;
}

void say(const Request& request, std::FILE* stream, const QString& text) {
    if (!request.silent) {
        std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    }
}

int list(ComRegistry& registry) {
    QStringList paths;
    if (!registry.read(paths)) {
        std::fprintf(stderr, "regsvr32: the registry cannot be read.\n");
        return kRegistryFailed;
    }
    for (const QString& path : paths) {
        std::printf("%s\n", QFile::encodeName(path).constData());
    }
    return kDone;
}

int registerLibrary(ComRegistry& registry, const Request& request) {
    const QString path = QDir::cleanPath(QFileInfo(request.library).absoluteFilePath());
    if (!QFileInfo(path).isFile()) {
        say(request, stderr, "The module \"" + path + "\" failed to load.");
        return kLibraryMissing;
    }
    const bool changed = registry.update([&](QStringList& paths) {
        paths.removeAll(path);
        if (!request.unregister) {
            paths.append(path);
        }
    });
    const QString entryPoint = request.unregister ? "DllUnregisterServer" : "DllRegisterServer";
    if (!changed) {
        say(request, stderr,
            entryPoint + " in " + path + " failed: the registry cannot be written.");
        return kRegistryFailed;
    }
    say(request, stdout, entryPoint + " in " + path + " succeeded.");
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = parse(argc, argv);
    if (!request.valid) {
        say(request, stderr, "usage: regsvr32 [/u] [/s] <library>\n       regsvr32 --list");
        return kBadCommandLine;
    }
    ComRegistry registry(ComRegistry::defaultPath());
    return request.list ? list(registry) : registerLibrary(registry, request);
}
