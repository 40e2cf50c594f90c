#pragma once

// The ODBC interface of unixODBC.
#include <sql.h>
#include <sqlext.h>
