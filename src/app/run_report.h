#pragma once

#include "app/run_record.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace pelorix::app {

// The version of the report's layout. A field added leaves it as it is (readers ignore what they
// do not know); a field that goes or changes its meaning raises it.
constexpr int kReportFormat = 1;

// The end of a headless run as a report file gives it (schema in docs/report.schema.json).
struct RunReport {
    int status = 0;
    QDateTime startedAt;
    QDateTime finishedAt;
    std::vector<StatusLine> steps;
    RunRecord record;
};

// What an exit status of a headless run means, in English.
QString statusMeaning(int status);

QByteArray reportJson(const RunReport& report);

// Written through a temporary file renamed over the target: a reader never sees half a report,
// and a report that cannot be written leaves an older one as it was.
bool writeReport(const QString& path, const RunReport& report);

}  // namespace pelorix::app
