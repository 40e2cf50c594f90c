#include "support/os_facts.h"

#include <windows.h>

namespace pelorix::test {

// The special folders of a Wine prefix as of a Windows installation on drive C.
const DefaultInstallation kDefaultInstallation{
    "C:\\ProgramData/Pelorix/Pelorix.ini C:\\ProgramData/OrvaneTrellisService/OTRS.xml",
    "C:\\windows\\system32", "SQL Server"};

bool runningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace pelorix::test
