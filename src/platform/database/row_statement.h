#pragma once

#include "platform/database.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace pelorix::platform {

// A value as an SQL literal: NULL, text in single quotes (quotes doubled), anything else as its
// text.
QString sqlLiteral(const QVariant& value);

// How the column names of a listed row are written: as given, or in brackets for a database
// that would read a name as a keyword.
enum class ColumnNames { AsGiven, Bracketed };

// The INSERT statement that stores the row appendRow() is given, for where the row is listed
// rather than (or as well as) stored.
QString insertStatement(const QString& table, const std::vector<FieldValue>& values,
                        ColumnNames names);

}  // namespace pelorix::platform
