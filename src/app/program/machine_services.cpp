#include "app/program/machine_services.h"

#include "app/program/installation.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "platform/process_table.h"
#include "platform/program_start.h"

namespace pelorix::app {

namespace {

platform::QtSqlDatabase::Options databaseOptions(const Installation& installation) {
    platform::QtSqlDatabase::Options options;
    options.sqlServerOdbcDriver = installation.sqlServerOdbcDriver;
    return options;
}

}  // namespace

MachineServices::MachineServices(const Installation& installation)
    : database_(platform::defaultFileSystem(), databaseOptions(installation)) {}

UpdateServices MachineServices::services() {
    return {platform::defaultFileSystem(),
            platform::defaultProgramStarter(),
            platform::defaultProcessTable(),
            platform::systemClock(),
            database_,
            platform::defaultHttpClient(),
            platform::newHttpClient};
}

}  // namespace pelorix::app
