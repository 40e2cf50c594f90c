#pragma once

#include <QString>

namespace pelorix::schema {

// The schema operations state every statement in Jet's type vocabulary; for SQL Server this
// rewrites it, as plain case-sensitive text substitutions over the whole statement, in a fixed
// order: counter, MEMO, integer, string, yesno, date, WITH COMPRESSION. Names that contain one
// of these texts are rewritten too, and a "datetime" already present becomes "datetimetime":
// the statements that pass through here are written with that in mind.
QString ConvertSQL(const QString& statement, bool isSqlServer);

}  // namespace pelorix::schema
