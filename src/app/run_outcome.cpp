#include "app/run_outcome.h"

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

}  // namespace pelorix::app
