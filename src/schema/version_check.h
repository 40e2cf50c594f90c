#pragma once

#include <QString>

namespace pelorix::schema {

// The whole number a version part begins with: blanks, tabs and line feeds are skipped
// wherever they stand, one leading sign counts, digits are read up to the first other
// character; a part without a leading number is worth 0.
double versionPartValue(const QString& part);

// Parts 0 to 2 compared as numbers; a part missing on either side makes the given version the
// greater one, and later parts are never looked at.
bool isVersionSmaller(const QString& given, const QString& stored);

}  // namespace pelorix::schema
