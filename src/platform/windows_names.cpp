#include "platform/windows_names.h"

namespace pelorix::platform {
namespace {

// Classic backtracking match: on a mismatch, let the last "*" swallow one more character.
bool matchesFolded(const QString& name, const QString& pattern) {
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool sameNameIgnoringCase(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool hasWildcards(const QString& name) {
    return name.contains(u'*') || name.contains(u'?');
}

bool matchesWildcard(const QString& name, const QString& pattern) {
    const QString foldedName = name.toCaseFolded();
    const QString foldedPattern = pattern.toCaseFolded();
    if (matchesFolded(foldedName, foldedPattern)) {
        return true;
    }
    return foldedPattern.endsWith(u".*") && matchesFolded(foldedName, foldedPattern.chopped(2));
}

bool isProgramName(const QString& name) {
    return name.endsWith(u".exe", Qt::CaseInsensitive);
}

}  // namespace pelorix::platform
