#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::e2e {

// Which texts the updater shows: the demo language file read as German or English, or no
// language file at all (every text marked with "!").
enum class Texts { German, English, Untranslated };

// A German text as the updater shows it with these texts.
QString shown(Texts texts, const QString& german);

// A status line closed with a result word: step text, dots up to column 40, a blank, the word.
QString closedLine(const QString& text, const QString& result = "OK");
// A headless message on standard error: its lines, then an empty line.
QString messageBox(const QStringList& lines);

// Standard output of the phases of a run that succeeds.
QString shutdownOutput(Texts texts);
QString migrationOutput(Texts texts, int columns, int deviceTypes, int tables);
// The first `count` download lines, closed.
QString downloadOutput(Texts texts, int count = 16);
QString replacementOutput(Texts texts);
QString fullRunOutput(Texts texts, int columns = 1, int deviceTypes = 15, int tables = 1);
// The output of a German run that stopped in the replacement step `openStep`, every step
// before it closed.
QString stoppedInReplacement(const QString& openStep);

// A full run without translations: every text marked with "!" until the new release's language
// file is in place, German from then on.
QString outputMarkedUntilTheNewLanguageFile();

// The step texts of the download, in order (German).
const QStringList& downloadSteps();

// The debug log of a first full run on the sample database (German texts): the messages of
// its entries, a header line shown as "[]".
QStringList firstRunLog(bool shortenedWaits = true);

// Messages on standard error.
QString confirmationMessage(Texts texts);
QString finalQuestion(Texts texts);
QString generalFailureMessage(Texts texts);
QString downloadErrorMessage(Texts texts);
QString databaseErrorMessage(Texts texts);
QString retryMessage(Texts texts);
QString mainProgramRunningMessage(Texts texts);
QString serviceNotStoppedMessage(Texts texts, const QString& service);

}  // namespace pelorix::e2e
