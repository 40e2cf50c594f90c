#include "support/os_facts.h"

namespace pelorix::test {

const DefaultInstallation kDefaultInstallation{
    "/var/lib/Pelorix/Pelorix.ini /var/lib/OrvaneTrellisService/OTRS.xml", "/usr/local/lib",
    "FreeTDS"};

bool runningUnderWine() {
    return false;
}

}  // namespace pelorix::test
