#include "platform/database/database_connection.h"

#include <QSqlResult>
#include <QVariant>

#include <cstdio>

#include "odbc_api.h"

namespace pelorix::platform {

namespace {

QtMessageHandler previousHandler = nullptr;

void dropDriverWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("QODBCResult::"))) {
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

}  // namespace

QuietDriverWarnings::QuietDriverWarnings() {
    previousHandler = qInstallMessageHandler(dropDriverWarnings);
}

QuietDriverWarnings::~QuietDriverWarnings() {
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

// QODBC hands out the statement handle of a prepared query; ADO's command time-out becomes the
// statement's query time-out there.
bool limitOdbcStatement(const QSqlQuery& query, std::chrono::seconds timeout) {
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>()) {
        return false;
    }
    const SQLHANDLE statement = *static_cast<const SQLHANDLE*>(handle.constData());
    if (!statement) {
        return false;
    }
    const auto seconds = static_cast<SQLULEN>(timeout.count());
    const SQLRETURN result =
        SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds), 0);
    return SQL_SUCCEEDED(result);
}

}  // namespace pelorix::platform
