#include "app/program/installation.h"

#include "app/program/packaged_log_folder.h"
#include "app/program/update_server.h"
#include "platform/environment.h"
#include "platform/odbc_drivers.h"
#include "platform/special_folders.h"

namespace pelorix::app {

namespace {

QString sqlServerOdbcDriver(const platform::Environment& environment) {
    const QString configured = environment.value("PELORIX_ODBC_DRIVER").trimmed();
    return configured.isEmpty() ? platform::defaultSqlServerOdbcDriver() : configured;
}

}  // namespace

Installation installationFrom(const platform::Environment& environment,
                              const QString& commandLine) {
    // A failed lookup gives the empty text: both paths then begin at the root.
    const QString commonAppData = platform::GetSpecialFolder(environment, platform::kCommonAppData);
    Installation installation;
    installation.settingsFolder = commonAppData + "/Pelorix";
    installation.settingsFile = installation.settingsFolder + "/Pelorix.ini";
    installation.controlDocument = commonAppData + "/OrvaneTrellisService/OTRS.xml";
    installation.systemFolder = platform::GetSpecialFolder(environment, platform::kSystemFolder);
    installation.ownFolder = platform::ownFolder();
    installation.packagePlaces = platform::packagePlaces(installation.ownFolder);
    const QString packagedFolder = packagedLogFolder();
    installation.debugLogFolder =
        packagedFolder.isEmpty() ? installation.ownFolder : packagedFolder;
    installation.updateServerBase = updateServerBase(environment);
    installation.historyPage = historyPageAddress(installation.updateServerBase);
    installation.sqlServerOdbcDriver = sqlServerOdbcDriver(environment);
    installation.limits = updateLimitsFromEnvironment(environment);
    installation.commandLine = commandLine;
    installation.exitAfterFirstPaint =
        environment.find("PELORIX_EXIT_AFTER_FIRST_PAINT").has_value();
    return installation;
}

}  // namespace pelorix::app
