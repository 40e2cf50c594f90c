#include "app/console/console_ui.h"
#include "app/program/application.h"
#include "app/program/command_line.h"
#include "app/program/installation.h"
#include "app/program/machine_services.h"
#include "app/run/version.h"
#include "app/window/main_window.h"
#include "platform/command_line_arguments.h"
#include "platform/console_output.h"
#include "platform/environment.h"
#include "platform/interruption_signals.h"
#include "platform/window_display.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>

#include <cstdio>

namespace {

using pelorix::app::Installation;
using pelorix::app::Options;

QStringList argumentsOf(int argc, char** argv) {
    return pelorix::platform::commandLineArguments(argc, argv);
}

void printPlanLine(const QString& line) {
    std::fputs((line + "\n").toUtf8().constData(), stdout);
    std::fflush(stdout);
}

int runHeadless(int argc, char** argv, const Options& options, const Installation& installation) {
    pelorix::platform::prepareConsoleOutput(true);
    const QDateTime startedAt = QDateTime::currentDateTimeUtc();
    // A signal to stop is honoured where a re-run can complete the update.
    pelorix::platform::catchInterruptionRequests();
    QCoreApplication qt(argc, argv);
    pelorix::app::ConsoleUi ui(options.unattended, options.startMain);
    pelorix::app::MachineServices machine(installation);
    pelorix::app::Application application(ui, nullptr, installation, machine.services());
    application.start();
    application.stopOnInterruption(pelorix::platform::interruptionRequest);
    application.form().updateDatabaseOnlyCheck = options.databaseOnly ? 1 : 0;
    application.setStartServices(options.startServices);
    application.setOnlyIfNeeded(options.ifNeeded);
    const int status = options.dryRun ? application.dryRun(printPlanLine)
                                      : pelorix::app::exitStatus(application.pressUpdate());
    if (!options.reportFile.isEmpty() &&
        !pelorix::app::writeReport(options.reportFile, application.report(status, startedAt))) {
        std::fprintf(stderr, "PelorixUpdater: the report %s could not be written\n",
                     qPrintable(options.reportFile));
    }
    return status;
}

// For start-up benchmarks: the program ends as soon as the window has been painted once.
class ExitAfterFirstPaint : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }
};

int runWindow(int argc, char** argv, const Options& options, const Installation& installation) {
    pelorix::platform::prepareConsoleOutput(false);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("PelorixUpdater");
    pelorix::app::MachineServices machine(installation);
    pelorix::app::window::MainWindow window(installation, options.databaseOnly, machine.services());
    ExitAfterFirstPaint exitAfterFirstPaint;
    if (installation.exitAfterFirstPaint) {
        window.installEventFilter(&exitAfterFirstPaint);
    }
    window.application().setStartServices(options.startServices);
    window.show();
    return QApplication::exec() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The updater's own command line is taken before Qt can claim any of it.
    const Options options = pelorix::app::parseOptions(argumentsOf(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "PelorixUpdater: %s\n\n%s", qPrintable(options.error),
                     pelorix::app::usageText().toUtf8().constData());
        return 2;
    }
    if (options.help) {
        std::fputs(pelorix::app::usageText().toUtf8().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("PelorixUpdater %d.%d.%d.%d\n", pelorix::app::kVersionMajor,
                    pelorix::app::kVersionMinor, pelorix::app::kVersionBuild,
                    pelorix::app::kVersionRevision);
        return 0;
    }
    const pelorix::platform::Environment environment =
        pelorix::platform::Environment::ofThisProcess();
    // Qt would abort with a message of its own; the window mode cannot run here, as a usage error.
    if (!options.headless && !pelorix::platform::windowDisplayAvailable(environment)) {
        std::fputs(
            "PelorixUpdater: no display is available for the window; run it with\n"
            "--unattended (or --headless, --dry-run) to update without a window.\n",
            stderr);
        return 2;
    }
    const Installation installation =
        pelorix::app::installationFrom(environment, options.commandLine);
    int qtArgc = 1;  // Qt sees the program name only
    return options.headless ? runHeadless(qtArgc, argv, options, installation)
                            : runWindow(qtArgc, argv, options, installation);
}
