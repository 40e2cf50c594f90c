#include "platform/windows/command_line_quoting.h"

namespace pelorix::platform {

namespace {

// Blanks separate arguments and a quote starts or ends a quoted stretch; an empty argument needs
// a pair of quotes.
bool needsQuotes(const QString& argument) {
    for (const QChar character : argument) {
        if (QStringView(u" \t\n\v\"").contains(character)) {
            return true;
        }
    }
    return argument.isEmpty();
}

}  // namespace

// Backslashes are plain characters except before a quote: there each one is doubled, and the
// quote itself escaped, so that the reader's "2n backslashes + quote" rule gives them back.
QString quotedArgument(const QString& argument) {
    if (!needsQuotes(argument)) {
        return argument;
    }
    QString quoted = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar character : argument) {
        if (character == '\\') {
            ++backslashes;
            continue;
        }
        const qsizetype escapes = character == '"' ? 2 * backslashes + 1 : backslashes;
        quoted += QString(escapes, '\\') + character;
        backslashes = 0;
    }
    // The closing quote follows: the backslashes before it are doubled as well.
    quoted += QString(2 * backslashes, '\\') + '"';
    return quoted;
}

QString commandLineOf(const QStringList& argv) {
    QStringList quoted;
    for (const QString& argument : argv) {
        quoted << quotedArgument(argument);
    }
    return quoted.join(' ');
}

}  // namespace pelorix::platform
