#include "app/command_line.h"

namespace pelorix::app {

namespace {

// Sets the flag of a known option; false for anything else.
bool applyOption(const QString& argument, Options& options) {
    if (argument == "--headless") {
        options.headless = true;
    } else if (argument == "--unattended") {
        options.headless = true;
        options.unattended = true;
    } else if (argument == "--start-main") {
        options.startMain = true;
    } else if (argument == "--db-only") {
        options.databaseOnly = true;
    } else if (argument == "--help") {
        options.help = true;
    } else if (argument == "--version") {
        options.version = true;
    } else {
        return false;
    }
    return true;
}

}  // namespace

Options parseOptions(const QStringList& arguments) {
    Options options;
    qsizetype index = 0;
    for (; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (argument == "--") {
            ++index;
            break;
        }
        if (applyOption(argument, options)) {
            continue;
        }
        // "-folder" is the updater's own command line; "--anything" unknown is a mistake.
        if (argument.startsWith("--")) {
            options.error = "unknown option: " + argument;
            return options;
        }
        break;
    }
    options.commandLine = arguments.mid(index).join(' ');
    return options;
}

QString usageText() {
    return QStringLiteral(
        "Usage: PelorixUpdater [OPTIONS] [--] [COMMAND-LINE...]\n"
        "Brings an installed Pelorix system up to the current release.\n"
        "\n"
        "Options:\n"
        "  --headless     no window: press \"Update ausführen\" once; status box to standard\n"
        "                 output, message boxes to standard error; the confirmation is\n"
        "                 answered Cancel, the final question No\n"
        "  --unattended   as --headless, but the confirmation is answered OK\n"
        "  --start-main   the final question is answered Yes (start the main program)\n"
        "  --db-only      start with \"nur Datenbank aktualisieren\" checked\n"
        "  --help         show this text\n"
        "  --version      show the version\n"
        "\n"
        "COMMAND-LINE: \"-FOLDER\" takes the release files from FOLDER instead of the update\n"
        "server; a FOLDER containing \"local\" means the updater's own folder. The files stay\n"
        "in FOLDER until the update has completed, so a failed run can be repeated as it was.\n"
        "\n"
        "Exit status of a headless run: 0 the update ran to its end, 1 general failure (a\n"
        "failed replacement has been rolled back: the old release is complete), 2 usage\n"
        "error, 3 main program running, 4 cancelled at the confirmation, 5 a service was not\n"
        "stopped, 6 database error, 7 download error, 8 interrupted by SIGINT, SIGTERM or\n"
        "SIGHUP (run it again to complete the update), 9 another update of this installation\n"
        "is running (nothing changed).\n");
}

}  // namespace pelorix::app
