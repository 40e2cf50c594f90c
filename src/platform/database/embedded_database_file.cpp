#include "platform/database/database_qtsql.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <atomic>

namespace pelorix::platform {

// SQLite leaves a new file empty until the first write, and an empty file is no database here;
// setting the user version writes the file's header.
bool createEmbeddedDatabaseFile(const QString& file) {
    if (file.isEmpty() || QFileInfo::exists(file)) {
        return false;
    }
    static std::atomic<quint64> counter{0};
    const QString name = QStringLiteral("pelorix-new-db-") + QString::number(++counter);
    bool created = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(file);
        if (database.open()) {
            QSqlQuery query(database);
            created = query.exec(QStringLiteral("PRAGMA user_version = 0"));
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
    return created;
}

}  // namespace pelorix::platform
