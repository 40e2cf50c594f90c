#pragma once

#include <QString>
#include <QStringList>

namespace pelorix::platform {

// One argument as CommandLineToArgvW (and the C runtime of the started program) reads it back.
QString quotedArgument(const QString& argument);

// The command line of an argument vector: each argument quoted, joined with blanks.
QString commandLineOf(const QStringList& argv);

}  // namespace pelorix::platform
