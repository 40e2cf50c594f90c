#pragma once

#include "schema/schema_operations.h"
#include "support/database_fixture.h"

#include <QString>

#include <vector>

namespace pelorix::test {

// Debug-log entries written by the operations.
struct LogLines {
    std::vector<QString> lines;
    schema::DebugLogWriter writer() {
        return [this](const QString& line) { lines.push_back(line); };
    }
};

}  // namespace pelorix::test
