#pragma once

#include <QString>

namespace pelorix::platform {

// Comparison of file names the way Windows compares them: without regard to case, letters of
// Windows-1252 (Ä, é, Œ, ...) included.
bool sameNameIgnoringCase(const QString& a, const QString& b);

bool hasWildcards(const QString& name);

// Find-first-file matching of one name against a pattern: "*" stands for any run of
// characters, "?" for exactly one, without regard to case; a pattern ending in ".*" also
// matches the name without that extension, so "*.*" matches every name.
bool matchesWildcard(const QString& name, const QString& pattern);

// A program, runnable on Windows by its extension alone.
bool isProgramName(const QString& name);

}  // namespace pelorix::platform
