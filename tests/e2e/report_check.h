#pragma once

#include <QJsonObject>
#include <QString>

namespace pelorix::e2e {

// The report a run wrote, once Debian's python3-jsonschema has validated it against
// docs/report.schema.json (a failure of the test otherwise, with the validator's complaint).
QJsonObject validatedReport(const QString& file);

}  // namespace pelorix::e2e
