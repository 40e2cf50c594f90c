#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::app {

// PelorixUpdater [OPTIONS] [--] [COMMAND-LINE...]
struct Options {
    bool headless = false;
    bool unattended = false;  // headless, and the confirmation is answered OK
    bool startMain = false;   // the final question is answered Yes
    bool databaseOnly = false;
    bool dryRun = false;         // headless: check everything, change nothing, print the plan
    bool startServices = false;  // after a successful update, start both services again
    bool ifNeeded = false;       // headless: an installation that is the release stays untouched
    QString reportFile;          // not empty: a headless run writes its report there
    bool help = false;
    bool version = false;
    QString commandLine;  // the updater's own command line: the remaining arguments joined by " "
    QString error;        // not empty: a usage error
};

// Reads the arguments after the program name, before Qt sees them.
Options parseOptions(const QStringList& arguments);
QString usageText();

}  // namespace pelorix::app
