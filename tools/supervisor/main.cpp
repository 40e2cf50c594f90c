// pelorix-supervisor: a stand-in for OrvaneTrellisService, the supervising service that owns the
// control document of the Pelorix services. It watches the document and, once a process's
// targetstatus has differed from its currentstatus for the delay, sets currentstatus to
// targetstatus. Every rewrite goes through a temporary file renamed over the document.
//
// Command line:
//   pelorix-supervisor --document PATH [--create] [--delay-ms N] [--poll-ms N]
//                      [--keep-running NAME]... [--keep-stopped NAME]...
//
//   --document PATH       the control document to serve (required), e.g.
//                         "$PELORIX_COMMON_APPDATA/OrvaneTrellisService/OTRS.xml"
//   --create              first write a fresh document (folders created as needed) in which
//                         PelorixService and HavrelService both run: targetstatus and
//                         currentstatus "1"; an existing document is replaced
//   --delay-ms N          how long a new target must stand before it is applied (default 1500)
//   --poll-ms N           how often the document is read (default 50, at least 1)
//   --keep-running NAME   never let this process stop: a targetstatus "0" is not applied to it;
//                         may be given several times
//   --keep-stopped NAME   never let this process start again: a targetstatus "1" is not applied
//                         to it; may be given several times
//
// Once it watches the document it prints "ready" on a line of its own; each status change is
// printed as it is made. It ends with status 0 on SIGTERM or SIGINT; wrong arguments end it with
// status 2, a document that cannot be created with status 1.

#include "control_document.h"
#include "options.h"
#include "supervisor.h"

#include <csignal>
#include <iostream>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelorix::supervisor;
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "pelorix-supervisor: " << error << "\n" << kUsage;
        return 2;
    }
    installStopHandlers();
    if (options->create) {
        pugi::xml_document document;
        fillInitialDocument(document);
        if (!saveControlDocument(document, options->document)) {
            std::cerr << "pelorix-supervisor: cannot create " << options->document << std::endl;
            return 1;
        }
    }
    Supervisor supervisor(*options);
    std::cout << "ready" << std::endl;
    while (!stopRequested) {
        supervisor.tick(std::chrono::steady_clock::now());
        std::this_thread::sleep_for(options->pollInterval);
    }
    return 0;
}
