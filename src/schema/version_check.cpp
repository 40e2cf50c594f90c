#include "schema/version_check.h"

#include "platform/database.h"
#include "schema/schema_operations.h"

#include <QStringList>

namespace pelorix::schema {

using namespace Qt::StringLiterals;

namespace {

// An empty text has no parts at all.
QStringList versionParts(const QString& version) {
    return version.isEmpty() ? QStringList() : version.split(u'.');
}

}  // namespace

double versionPartValue(const QString& part) {
    double value = 0;
    bool negative = false;
    bool signRead = false;
    bool digitsRead = false;
    for (const QChar c : part) {
        if (c == u' ' || c == u'\t' || c == u'\n') {
            continue;
        }
        if (!signRead && !digitsRead && (c == u'+' || c == u'-')) {
            signRead = true;
            negative = c == u'-';
        } else if (c >= u'0' && c <= u'9') {
            digitsRead = true;
            value = value * 10 + (c.unicode() - u'0');
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

bool isVersionSmaller(const QString& given, const QString& stored) {
    const QStringList givenParts = versionParts(given);
    const QStringList storedParts = versionParts(stored);
    for (qsizetype part = 0; part < 3; ++part) {
        if (part >= givenParts.size() || part >= storedParts.size()) {
            return true;
        }
        const double givenValue = versionPartValue(givenParts[part]);
        const double storedValue = versionPartValue(storedParts[part]);
        if (givenValue != storedValue) {
            return givenValue > storedValue;
        }
    }
    return false;
}

QVariant NullToDefault(const QVariant& value, const QVariant& defaultValue) {
    return value.isNull() ? defaultValue : value;
}

bool SchemaOperations::CheckDBVersionSmaller(const QString& version) {
    // Sent as it is, without ConvertSQL; any failure means no stored version.
    const platform::QueryResult config = database_.query(
        settings_.connectionString, u"SELECT * from tblConfig WHERE Field = 'Version'"_s);
    QString stored;
    if (config.ok && !config.rows.empty() && config.rows.front().size() > 1) {
        stored = NullToDefault(config.rows.front().at(1), QString()).toString();
    }
    if (stored.isEmpty()) {
        return false;
    }
    return isVersionSmaller(version, stored);
}

}  // namespace pelorix::schema
