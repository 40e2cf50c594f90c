#include "platform/database.h"
#include "schema/convert_sql.h"
#include "schema/schema_operations.h"

namespace pelorix::schema {

using namespace Qt::StringLiterals;

namespace {

// Fields are found by name without regard to case, as a recordset finds them.
qsizetype columnIndex(const QStringList& columns, const QString& name) {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString missingField(const QString& name) {
    return u"Item cannot be found in the collection corresponding to the requested name or "
           "ordinal: "_s +
           name;
}

// A NULL equals nothing; other values compare as numbers.
bool hasType(const std::vector<QVariantList>& rows, qsizetype typeColumn, qint16 id) {
    bool present = false;
    for (const QVariantList& row : rows) {
        const QVariant& value = row.value(typeColumn);
        bool numeric = false;
        const double number = value.isNull() ? 0.0 : value.toDouble(&numeric);
        present = present || (numeric && number == id);
    }
    return present;
}

}  // namespace

bool SchemaOperations::AddPrinterType(qint16 row1, const QString& row2) {
    const QString errorPrefix = u"Database error (add printer type): "_s;
    log(u"AddPrinterType. ID: "_s + QString::number(row1) + u", TypeName: "_s + row2);
    const platform::QueryResult types =
        database_.query(settings_.connectionString, convert(u"Select * from tblTypes"_s));
    if (!types.ok) {
        return fail(errorPrefix, types.error);
    }
    if (types.rows.empty()) {
        return false;
    }
    const qsizetype typeColumn = columnIndex(types.columns, u"Type"_s);
    if (typeColumn < 0) {
        return fail(errorPrefix, missingField(u"Type"_s));
    }
    if (hasType(types.rows, typeColumn, row1)) {
        return false;
    }
    const qsizetype textColumn = columnIndex(types.columns, u"TypeText"_s);
    if (textColumn < 0) {
        return fail(errorPrefix, missingField(u"TypeText"_s));
    }
    const platform::DbResult stored =
        database_.appendRow(settings_.connectionString, u"tblTypes"_s,
                            {{types.columns[typeColumn], QVariant::fromValue(row1)},
                             {types.columns[textColumn], row2}});
    if (!stored.ok) {
        return fail(errorPrefix, stored.error, true);
    }
    ++changesMade_;
    return true;
}

}  // namespace pelorix::schema
