#pragma once

#include <QString>

namespace pelorix::platform {

// The system's own words for a Win32 error code, fit for the debug log.
QString errorText(unsigned long code);
// The words for GetLastError() of the moment.
QString lastErrorText();

}  // namespace pelorix::platform
