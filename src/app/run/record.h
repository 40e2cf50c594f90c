#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <map>
#include <optional>
#include <vector>

namespace pelorix::app {

// One line of the status box as a report gives it: a step with its result word and the
// seconds between its opening and its closing, or a whole line without result.
struct StatusLine {
    QString text;
    std::optional<QString> result;  // none for a whole line or a step left open
    double seconds = 0;
};

// A release file as the run saw it.
struct FileRecord {
    QString name;
    qint64 bytes = -1;  // -1: unknown
    QString sha256;     // empty: not computed (the body was not fetched)
    bool verified = false;
};

struct DatabaseRecord {
    bool sqlServer = false;
    int newColumns = 0;
    int newTypes = 0;
    int newTables = 0;
    QStringList statements;  // listed by a dry run, which executes none of them
};

// What a run did or, in a dry run, would do, gathered for its report.
struct RunRecord {
    bool dryRun = false;
    DatabaseRecord database;
    std::vector<FileRecord> files;
    bool installedContentChanged = false;
    bool databaseChanged = false;
    // Target statuses of the services in the control document, before and after the run.
    std::map<QString, QString> targetStatusBefore;
    std::map<QString, QString> targetStatusAfter;
    // A dry run: whether a real run is expected to change anything.
    bool wouldChange = false;

    void noteTargetStatus(const QString& service, const QString& before, const QString& after) {
        targetStatusBefore.try_emplace(service, before);
        targetStatusAfter[service] = after;
    }
    bool targetStatusChanged() const { return targetStatusBefore != targetStatusAfter; }
    bool changed() const {
        return installedContentChanged || databaseChanged || targetStatusChanged();
    }
};

}  // namespace pelorix::app
