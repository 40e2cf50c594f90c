#include "platform/database/row_statement.h"

#include <QStringList>

namespace pelorix::platform {

QString sqlLiteral(const QVariant& value) {
    if (value.isNull()) {
        return QStringLiteral("NULL");
    }
    if (value.typeId() == QMetaType::QString) {
        return "'" + value.toString().replace("'", "''") + "'";
    }
    return value.toString();
}

QString insertStatement(const QString& table, const std::vector<FieldValue>& values,
                        ColumnNames names) {
    QStringList columns;
    QStringList literals;
    for (const FieldValue& field : values) {
        columns << (names == ColumnNames::Bracketed ? "[" + field.column + "]" : field.column);
        literals << sqlLiteral(field.value);
    }
    return "INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" + literals.join(", ") +
           ")";
}

}  // namespace pelorix::platform
