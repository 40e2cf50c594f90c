#pragma once

#include <QString>

namespace pelorix::app {

// How one press of the update button ended; a headless run exits with exitStatus() of it.
enum class RunOutcome {
    Continue,            // a phase handed over to the next one
    SkipToCompletion,    // the database-only run joins the completion
    Completed,           // the final question was answered No (or the run otherwise ran to its end)
    MainProgramStarted,  // the final question was answered Yes
    GeneralFailure,
    MainProgramRunning,
    Cancelled,
    ServiceNotStopped,
    DatabaseError,
    DownloadError,
    ServiceNotStarted,     // the update is done, but a service did not report itself running
    Interrupted,           // a headless run was asked to stop by a signal
    AnotherUpdateRunning,  // another run of this installation holds its lock
};

int exitStatus(RunOutcome outcome);

// What an exit status of a headless run means, in English.
QString statusMeaning(int status);

}  // namespace pelorix::app
