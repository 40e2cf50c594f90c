#include "app/phases/change_probe_database.h"

#include "platform/database/index_lookup.h"

#include <QRegularExpression>

namespace pelorix::app {

namespace {

const QRegularExpression kUpdate(R"(^UPDATE\s+(\S+)\s+SET\s+.+?\s+WHERE\s+(.+)$)",
                                 QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kCreateIndex(
    R"(^CREATE\s+(?:UNIQUE\s+)?INDEX\s+(\S+)\s+ON\s+\[?([^\]\s]+))",
    QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kAlterColumn(R"(^ALTER\s+TABLE\s+\S+\s+ALTER\s+COLUMN\s)",
                                      QRegularExpression::CaseInsensitiveOption);

}  // namespace

platform::DbResult ChangeProbeDatabase::execute(const QString& connectionString,
                                                const QString& statement) {
    if (!wouldChange(connectionString, statement.trimmed())) {
        return {true, {}, 0};
    }
    return ListingDatabase::execute(connectionString, statement);
}

bool ChangeProbeDatabase::wouldChange(const QString& connectionString, const QString& statement) {
    if (kAlterColumn.match(statement).hasMatch()) {
        return false;
    }
    if (kUpdate.match(statement).hasMatch()) {
        return updateMatchesRows(connectionString, statement);
    }
    if (kCreateIndex.match(statement).hasMatch()) {
        return indexIsMissing(connectionString, statement);
    }
    return true;
}

bool ChangeProbeDatabase::updateMatchesRows(const QString& connectionString,
                                            const QString& statement) {
    const QRegularExpressionMatch update = kUpdate.match(statement);
    const platform::QueryResult count =
        real().query(connectionString,
                     "SELECT COUNT(*) FROM " + update.captured(1) + " WHERE " + update.captured(2));
    if (!count.ok || count.rows.empty() || count.rows.front().isEmpty()) {
        return true;
    }
    return count.rows.front().front().toLongLong() != 0;
}

bool ChangeProbeDatabase::indexIsMissing(const QString& connectionString,
                                         const QString& statement) {
    const QRegularExpressionMatch index = kCreateIndex.match(statement);
    const platform::QueryResult found = real().query(
        connectionString,
        platform::indexLookupStatement(sqlServer_, index.captured(2), index.captured(1)));
    return !found.ok || found.rows.empty();
}

}  // namespace pelorix::app
