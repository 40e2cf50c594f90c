#include "schema/convert_sql.h"

#include <array>
#include <utility>

namespace pelorix::schema {

QString ConvertSQL(const QString& statement, bool isSqlServer) {
    if (!isSqlServer) {
        return statement;
    }
    static const std::array<std::pair<QString, QString>, 7> kSubstitutions{{
        {QStringLiteral("counter"), QStringLiteral("int IDENTITY (1, 1) NOT NULL")},
        {QStringLiteral("MEMO"), QStringLiteral("ntext")},
        {QStringLiteral("integer"), QStringLiteral("int")},
        {QStringLiteral("string"), QStringLiteral("nvarchar")},
        {QStringLiteral("yesno"), QStringLiteral("bit")},
        {QStringLiteral("date"), QStringLiteral("datetime")},
        {QStringLiteral("WITH COMPRESSION"), QString()},
    }};
    QString converted = statement;
    for (const auto& [searched, replacement] : kSubstitutions) {
        converted.replace(searched, replacement, Qt::CaseSensitive);
    }
    return converted;
}

}  // namespace pelorix::schema
