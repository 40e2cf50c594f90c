#include "inspection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <algorithm>

namespace pelorix::e2e {

QStringList fileTree(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString relative = QDir(folder).relativeFilePath(it.filePath());
        entries << (it.fileInfo().isDir() ? relative + "/" : relative);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, QByteArray> fileContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    for (const QString& entry : fileTree(folder)) {
        if (!entry.endsWith('/')) {
            contents.insert(entry, readFile(folder + "/" + entry));
        }
    }
    return contents;
}

DatabaseView::DatabaseView(const QString& file)
    : connection_("e2e-" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection_);
    db.setDatabaseName(file);
    db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
    db.open();
}

DatabaseView::~DatabaseView() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QStringList DatabaseView::tables() const {
    QStringList names = QSqlDatabase::database(connection_).tables();
    std::sort(names.begin(), names.end());
    return names;
}

QStringList DatabaseView::columns(const QString& table) const {
    const QSqlRecord record = QSqlDatabase::database(connection_).record(table);
    QStringList names;
    for (int i = 0; i < record.count(); ++i) {
        names << record.fieldName(i);
    }
    return names;
}

QStringList DatabaseView::values(const QString& query) const {
    QSqlQuery q(QSqlDatabase::database(connection_));
    QStringList result;
    if (q.exec(query)) {
        while (q.next()) {
            result << q.value(0).toString();
        }
    }
    return result;
}

QStringList DatabaseView::printerTypes() const {
    return values("SELECT Type || ' ' || TypeText FROM tblTypes ORDER BY Type");
}

QStringList DatabaseView::uniqueIndexColumns(const QString& table) const {
    QStringList columns;
    for (const QString& index :
         values("SELECT name FROM pragma_index_list('" + table + "') WHERE \"unique\" = 1")) {
        columns << values("SELECT name FROM pragma_index_info('" + index + "')").join(",");
    }
    return columns;
}

QString DatabaseView::version() const {
    return values("SELECT Value FROM tblConfig WHERE Field = 'Version'").value(0);
}

bool DatabaseView::execute(const QString& statement) const {
    QSqlQuery q(QSqlDatabase::database(connection_));
    return q.exec(statement);
}

}  // namespace pelorix::e2e
