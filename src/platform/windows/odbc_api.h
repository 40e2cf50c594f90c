#pragma once

// Windows' ODBC headers take their integer types from the Windows headers.
#include <windows.h>

#include <sql.h>
#include <sqlext.h>
