#include "app/run_report.h"

#include "app/version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace pelorix::app {

namespace {

QString versionText() {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionBuild)
        .arg(kVersionRevision);
}

QString isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QJsonArray stepsJson(const std::vector<StatusLine>& steps) {
    QJsonArray array;
    for (const StatusLine& line : steps) {
        array.append(QJsonObject{
            {"text", line.text},
            {"result", line.result ? QJsonValue(*line.result) : QJsonValue()},
            {"seconds", line.seconds},
        });
    }
    return array;
}

QJsonObject databaseJson(const DatabaseRecord& database, bool dryRun) {
    QJsonObject object{
        {"sqlServer", database.sqlServer},
        {"newColumns", database.newColumns},
        {"newTypes", database.newTypes},
        {"newTables", database.newTables},
    };
    if (dryRun) {
        object.insert("statements", QJsonArray::fromStringList(database.statements));
    }
    return object;
}

QJsonArray filesJson(const std::vector<FileRecord>& files) {
    QJsonArray array;
    for (const FileRecord& file : files) {
        array.append(QJsonObject{
            {"name", file.name},
            {"bytes", file.bytes >= 0 ? QJsonValue(file.bytes) : QJsonValue()},
            {"sha256", file.sha256.isEmpty() ? QJsonValue() : QJsonValue(file.sha256)},
            {"verified", file.verified},
        });
    }
    return array;
}

}  // namespace

QString statusMeaning(int status) {
    switch (status) {
        case 0:
            return "the update ran to its end";
        case 1:
            return "general failure";
        case 2:
            return "usage error";
        case 3:
            return "the Pelorix main program is running";
        case 4:
            return "cancelled at the confirmation";
        case 5:
            return "a service was not stopped";
        case 6:
            return "database error";
        case 7:
            return "download error";
        case 8:
            return "interrupted";
        case 9:
            return "another update of this installation is running";
        case 10:
            return "update done, a service did not start";
        default:
            return "unknown status";
    }
}

QByteArray reportJson(const RunReport& report) {
    const RunRecord& record = report.record;
    QJsonObject object{
        {"format", kReportFormat},
        {"status", report.status},
        {"meaning", statusMeaning(report.status)},
        {"dryRun", record.dryRun},
        {"version", versionText()},
        {"startedAt", isoTime(report.startedAt)},
        {"finishedAt", isoTime(report.finishedAt)},
        {"steps", stepsJson(report.steps)},
        {"database", databaseJson(record.database, record.dryRun)},
        {"files", filesJson(record.files)},
        // A dry run changes nothing; what a real run would change is told apart.
        {"changed", !record.dryRun && record.changed()},
    };
    if (record.dryRun) {
        object.insert("wouldChange", record.wouldChange);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool writeReport(const QString& path, const RunReport& report) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray json = reportJson(report);
    return file.write(json) == json.size() && file.commit();
}

}  // namespace pelorix::app
