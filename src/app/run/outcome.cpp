#include "app/run/outcome.h"

namespace pelorix::app {

int exitStatus(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::GeneralFailure:
            return 1;
        case RunOutcome::MainProgramRunning:
            return 3;
        case RunOutcome::Cancelled:
            return 4;
        case RunOutcome::ServiceNotStopped:
            return 5;
        case RunOutcome::DatabaseError:
            return 6;
        case RunOutcome::DownloadError:
            return 7;
        case RunOutcome::ServiceNotStarted:
            return 10;
        case RunOutcome::Interrupted:
            return 8;
        case RunOutcome::AnotherUpdateRunning:
            return 9;
        case RunOutcome::Continue:
        case RunOutcome::SkipToCompletion:
        case RunOutcome::Completed:
        case RunOutcome::MainProgramStarted:
            return 0;
    }
    return 1;
}

QString statusMeaning(int status) {
    switch (status) {
        case 0:
            return "the update ran to its end";
        case 1:
            return "general failure";
        case 2:
            return "usage error";
        case 3:
            return "the Pelorix main program is running";
        case 4:
            return "cancelled at the confirmation";
        case 5:
            return "a service was not stopped";
        case 6:
            return "database error";
        case 7:
            return "download error";
        case 8:
            return "interrupted";
        case 9:
            return "another update of this installation is running";
        case 10:
            return "update done, a service did not start";
        default:
            return "unknown status";
    }
}

}  // namespace pelorix::app
