#pragma once

#include <QList>
#include <QString>

namespace pelorix::e2e {

// Processes other than this one whose command line mentions `text` (a sandbox folder): what
// the updater started there, such as registrars or the main program.
QList<qint64> processesMentioning(const QString& text);
// "pid state name command line" of every process whose name or program ends in Pelorix.exe,
// in any case: what makes the updater stop with status 3.
QStringList mainProgramLookalikes();
// Ends them (SIGKILL) and waits until they are gone; false if one stays.
bool endProcessesMentioning(const QString& text);

}  // namespace pelorix::e2e
