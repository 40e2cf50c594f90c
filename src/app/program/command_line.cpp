#include "app/program/command_line.h"

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
    } else if (argument == "--dry-run") {
        options.headless = true;
        options.unattended = true;
        options.dryRun = true;
    } else if (argument == "--start-services") {
        options.startServices = true;
    } else if (argument == "--if-needed") {
        options.ifNeeded = true;
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
        if (argument == "--report") {
            if (++index == arguments.size() || arguments[index].isEmpty()) {
                options.error = "--report needs a file name";
                return options;
            }
            options.reportFile = arguments[index];
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
    if (!options.reportFile.isEmpty() && !options.headless) {
        options.error = "--report needs --headless, --unattended or --dry-run";
    } else if (options.ifNeeded && !options.headless) {
        options.error = "--if-needed needs --headless, --unattended or --dry-run";
    }
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
        "  --dry-run      no window, no change anywhere: check everything an unattended run\n"
        "                 needs and print the plan (services, database statements, files,\n"
        "                 write access, free space, registrar); exit status as the real run\n"
        "                 would end\n"
        "  --report FILE  with a headless run: write a JSON report to FILE when it ends\n"
        "  --start-services\n"
        "                 after a successful update, start PelorixService and HavrelService\n"
        "                 again through the supervising service; 10 when one does not start\n"
        "  --if-needed    with a headless run and a trusted release key: when every installed\n"
        "                 file matches the verified SHA256SUMS and the database needs no\n"
        "                 change, stop no service, fetch nothing more, change nothing and end\n"
        "                 with status 0 (report: \"changed\": false); otherwise, and always\n"
        "                 without a key, the full update runs\n"
        "  --help         show this text\n"
        "  --version      show the version\n"
        "\n"
        "COMMAND-LINE: \"-FOLDER\" takes the release files from FOLDER instead of the update\n"
        "server; a FOLDER containing \"local\" means the updater's own folder. The files stay\n"
        "in FOLDER until the update has completed, so a failed run can be repeated as it was.\n"
        "\n"
        "Signed releases: the first existing file of $PELORIX_RELEASE_KEY, PelorixUpdater.pub\n"
        "beside the updater and /etc/pelorix-updater/PelorixUpdater.pub is the trusted minisign\n"
        "public key. With it, SHA256SUMS and SHA256SUMS.minisig must come with the release, be\n"
        "signed by that key, be no older than the last release accepted here and not expired\n"
        "(a trusted \"expires:<unix seconds>\"), list each release file once, and every file\n"
        "must match its SHA-256; otherwise the run ends with status 7 before any installed\n"
        "file changes, and the download message gives the reason. A key file that does not\n"
        "parse ends it with status 1. Without a key the release is not verified.\n"
        "\n"
        "Exit status of a headless run: 0 the update ran to its end, 1 general failure (a\n"
        "failed replacement has been rolled back: the old release is complete), 2 usage\n"
        "error (also: no display for the window), 3 main program running, 4 cancelled at the "
        "confirmation, 5 a service was not\n"
        "stopped, 6 database error, 7 download error (also a refused release, a download over\n"
        "30 minutes or 256 MiB), 8 interrupted by SIGINT, SIGTERM or SIGHUP (run it again to\n"
        "complete the update), 9 another update of this installation is running (nothing\n"
        "changed), 10 update done but a service did not start (--start-services).\n");
}

}  // namespace pelorix::app
