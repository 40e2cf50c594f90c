#pragma once

#include "app/run/update_limits.h"
#include "platform/package_places.h"

#include <QString>

namespace pelorix::platform {
class Environment;
}

namespace pelorix::app {

// What the program learns of this machine and this run before it reads the settings file,
// worked out once at start-up and handed on as values.
struct Installation {
    QString settingsFolder;                 // the common application-data folder + "/Pelorix"
    QString settingsFile;                   // settingsFolder + "/Pelorix.ini"
    QString controlDocument;                // the supervising service's, in common application data
    QString systemFolder;                   // where the product's libraries are registered
    QString ownFolder;                      // the folder of the running updater
    platform::PackagePlaces packagePlaces;  // the package's folders beside it
    QString debugLogFolder;                 // ownFolder, or the packaged build's log folder
    QString updateServerBase;
    QString historyPage;
    QString sqlServerOdbcDriver;  // the ODBC driver SQL Server connection strings go to
    UpdateLimits limits;
    QString commandLine;  // the argument text after the program's name
    // For start-up benchmarks: the window ends the program once it has been painted.
    bool exitAfterFirstPaint = false;
};

// The installation as the environment describes it; see the README for the variables.
Installation installationFrom(const platform::Environment& environment, const QString& commandLine);

}  // namespace pelorix::app
