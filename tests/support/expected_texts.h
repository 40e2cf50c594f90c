#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::test {

// What several suites expect the updater to show, each kept once: the German texts as the
// program writes them, the English ones read from the demo language file the repository ships.

// The English text of a German one in tools/demo/language.ini; empty when it has none.
QString demoEnglishText(const QString& german);

// The step texts of the replacement, in their order.
const QStringList& replacementSteps();

// The lines of the message that ends a run on an unexpected failure.
const QStringList& generalFailureLines();

// A message as the procedure hands it to the user interface without a language file: every
// line marked with "!", the lines separated by carriage returns.
QString untranslatedMessage(const QStringList& lines);

// A status line closed with a result word: the text, dots up to column 40, a blank, the word;
// without a line end.
QString closedStatusLine(const QString& text, const QString& result = "OK");

}  // namespace pelorix::test
