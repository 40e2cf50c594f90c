#include "expected_output.h"

#include <QHash>

namespace pelorix::e2e {

namespace {

// The English column of the demo language file, for the texts the tests look at.
const QHash<QString, QString>& englishTexts() {
    static const QHash<QString, QString> texts{
        {"Beende den PelorixService", "Stopping PelorixService"},
        {"Beende den HavrelService", "Stopping HavrelService"},
        {"Fehler", "Error"},
        {"Überprüfe Datenbank ...", "Checking database ..."},
        {"Neue Tabellenspalten", "New table columns"},
        {"Neue Gerätetypen", "New device types"},
        {"Komplett neue Tabellen", "New tables"},
        {"Datenbankupdate erfolgreich ausgeführt.", "Database update completed."},
        {"Lade neuen PX-Dienst ...", "Loading new PX service ..."},
        {"Lade neuen HV-Dienst ...", "Loading new HV service ..."},
        {"Lade neuen PelorixHelper ...", "Loading new PelorixHelper ..."},
        {"Lade neuen Pelorix ...", "Loading new Pelorix ..."},
        {"Lade neue TobrinDLL ...", "Loading new TobrinDLL ..."},
        {"Lade neue MireldaDLL ...", "Loading new MireldaDLL ..."},
        {"Lade neue QNLDLL ...", "Loading new QNLDLL ..."},
        {"Lade neue BRASKDLL ...", "Loading new BRASKDLL ..."},
        {"Lade neue Reports ...", "Loading new Reports ..."},
        {"Lade neuen WebServer ...", "Loading new WebServer ..."},
        {"Lade neuen Sorvand ...", "Loading new Sorvand ..."},
        {"Lade neuen PXAS ...", "Loading new PXAS ..."},
        {"Lade neue PXAS Dokumentation ...", "Loading PXAS documentation ..."},
        {"Lade neue deutsche Dokumentation ...", "Loading German documentation ..."},
        {"Lade neue engl. Dokumentation ...", "Loading English documentation ..."},
        {"Lade neue Sprachdatei ...", "Loading new language file ..."},
        {"Entferne Registrierung für DLL's ...", "Unregistering DLLs ..."},
        {"Entferne alte DLL's ...", "Removing old DLLs ..."},
        {"Entferne alten Pelorix ...", "Removing old Pelorix ..."},
        {"Entferne alte Dienste ...", "Removing old services ..."},
        {"Entferne alte Reports ...", "Removing old Reports ..."},
        {"Entferne alte Dokumentationen ...", "Removing old documentation ..."},
        {"Entferne alte HTML-Dateien ...", "Removing old HTML files ..."},
        {"Entferne alte Sprachdatei ...", "Removing old language file ..."},
        {"Installiere neue Sprachdatei ...", "Installing new language file ..."},
        {"Installiere neue DLL's ...", "Installing new DLLs ..."},
        {"Installiere neue Reports ...", "Installing new Reports ..."},
        {"Installiere neuen Pelorix ...", "Installing new Pelorix ..."},
        {"Installiere neue Dienste ...", "Installing new services ..."},
        {"Installiere neue Dokumentationen ...", "Installing new documentation ..."},
        {"Registriere neue DLL's ...", "Registering new DLLs ..."},
        {"Update erfolgreich ausgeführt.", "Update completed."},
        {"Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden.",
         "This update has to stop the Pelorix services."},
        {"Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie fortfahren ?",
         "You need administrator rights to run the update. Do you want to continue?"},
        {"Das Update wurde erfolgreich durchgeführt.", "The update was completed successfully."},
        {"Sie müssen die Dienste im Konfigurationsprogramm noch starten.",
         "Please start the services in the configuration program."},
        {"Wollen Sie jetzt das Konfigurationsprogramm vom Pelorix öffnen ?",
         "Do you want to open the Pelorix configuration program now?"},
        {"Es ist ein Fehler aufgetreten. Sie müssen den Pelorix evtl. neu installieren.",
         "An error occurred. You may have to reinstall Pelorix."},
        {"Sie können auch versuchen, das Update erneut durchzuführen.",
         "You can also try to run the update again."},
        {"Fehler beim Download. Der Vorgang wird abgebrochen.",
         "Download failed. The update is cancelled."},
        {"Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre Einstellungen der Firewall.",
         "Please check your Internet connection and your firewall settings."},
        {"Sie können bei Orvane auch ein Offline-Update erhalten.",
         "Orvane can also provide an offline update."},
        {"Sie müssen vor dem Update erst den Pelorix beenden.",
         "Please close Pelorix before the update."},
        {"Der Updater konnte nicht auf die Datenbank zugreifen.",
         "The updater could not access the database."},
        {"Bitte prüfen Sie ob die Datenbank bereits durch andere Programme geöffnet ist",
         "Please check whether other programs have the database open"},
        {"und versuchen es dann erneut. Der Vorgang wird abgebrochen.",
         "and try again. The update is cancelled."},
        {"Der PelorixService konnte nicht beendet werden.", "PelorixService could not be stopped."},
        {"Der HavrelService konnte nicht beendet werden.", "HavrelService could not be stopped."},
        {"Bitte versuchen Sie es erneut, ggf. kann der Dienst auch erst nach einem Rechnerneustart "
         "beendet werden.",
         "Please try again; the service may only stop after a restart of the computer."},
        {"Der PelorixService konnte nicht deinstalliert werden.",
         "PelorixService could not be uninstalled."},
        {"Bitte prüfen Sie, ob alle Meldungsfenster vom Service geschlossen sind, bevor Sie dieses "
         "Fenster bestätigen.",
         "Please close all message windows of the service before you confirm this one."},
        {"Der Vorgang wird nun ein mal wiederholt.", "The step will now be tried once more."},
    };
    return texts;
}

const QStringList kReplacementSteps{"Entferne Registrierung für DLL's ...",
                                    "Entferne alte DLL's ...",
                                    "Entferne alten Pelorix ...",
                                    "Entferne alte Dienste ...",
                                    "Entferne alte Reports ...",
                                    "Entferne alte Dokumentationen ...",
                                    "Entferne alte HTML-Dateien ...",
                                    "Entferne alte Sprachdatei ...",
                                    "Installiere neue Sprachdatei ...",
                                    "Installiere neue DLL's ...",
                                    "Installiere neue Reports ...",
                                    "Installiere neuen Pelorix ...",
                                    "Installiere neue Dienste ...",
                                    "Installiere neue Dokumentationen ...",
                                    "Registriere neue DLL's ..."};

const QStringList kPrinterTypes{"9, TypeName: Axis Printbox (SW)",
                                "10, TypeName: Lexmark Drucker (SW)",
                                "11, TypeName: Lexmark Drucker (Color)",
                                "12, TypeName: Kyocera Mita (SW)",
                                "13, TypeName: Kyocera Mita (Color)",
                                "14, TypeName: Konica Minolta (SW)",
                                "15, TypeName: Konica Minolta (Color)",
                                "16, TypeName: KRT2",
                                "17, TypeName: Nur Color",
                                "18, TypeName: Samsung (SW)",
                                "19, TypeName: Samsung (Color)",
                                "20, TypeName: Ricoh (SW)",
                                "21, TypeName: Ricoh (Color)",
                                "22, TypeName: Sharp (Color)",
                                "23, TypeName: Kyocera Mita (Spezial)"};

}  // namespace

QString shown(Texts texts, const QString& german) {
    switch (texts) {
        case Texts::German:
            return german;
        case Texts::English:
            return englishTexts().value(german, german + " (no English text in the test)");
        case Texts::Untranslated:
            return german + "!";
    }
    return german;
}

QString closedLine(const QString& text, const QString& result) {
    const qsizetype dots = 40 - text.size() - result.size() - 1;
    return text + QString(std::max<qsizetype>(dots, 0), '.') + " " + result + "\n";
}

QString messageBox(const QStringList& lines) {
    return lines.join('\n') + "\n\n";
}

const QStringList& downloadSteps() {
    static const QStringList steps{"Lade neuen PX-Dienst ...",
                                   "Lade neuen HV-Dienst ...",
                                   "Lade neuen PelorixHelper ...",
                                   "Lade neuen Pelorix ...",
                                   "Lade neue TobrinDLL ...",
                                   "Lade neue MireldaDLL ...",
                                   "Lade neue QNLDLL ...",
                                   "Lade neue BRASKDLL ...",
                                   "Lade neue Reports ...",
                                   "Lade neuen WebServer ...",
                                   "Lade neuen Sorvand ...",
                                   "Lade neuen PXAS ...",
                                   "Lade neue PXAS Dokumentation ...",
                                   "Lade neue deutsche Dokumentation ...",
                                   "Lade neue engl. Dokumentation ...",
                                   "Lade neue Sprachdatei ..."};
    return steps;
}

QString shutdownOutput(Texts texts) {
    return closedLine(shown(texts, "Beende den PelorixService")) +
           closedLine(shown(texts, "Beende den HavrelService"));
}

QString migrationOutput(Texts texts, int columns, int deviceTypes, int tables) {
    return closedLine(shown(texts, "Überprüfe Datenbank ...")) +
           shown(texts, "Neue Tabellenspalten") + ": " + QString::number(columns) + "\n" +
           shown(texts, "Neue Gerätetypen") + ": " + QString::number(deviceTypes) + "\n" +
           shown(texts, "Komplett neue Tabellen") + ": " + QString::number(tables) + "\n";
}

QString downloadOutput(Texts texts, int count) {
    QString output;
    for (const QString& step : downloadSteps().first(count)) {
        output += closedLine(shown(texts, step));
    }
    return output;
}

QString replacementOutput(Texts texts) {
    QString output;
    for (const QString& step : kReplacementSteps) {
        output += closedLine(shown(texts, step));
    }
    return output + shown(texts, "Update erfolgreich ausgeführt.") + "\n";
}

QString fullRunOutput(Texts texts, int columns, int deviceTypes, int tables) {
    return shutdownOutput(texts) + migrationOutput(texts, columns, deviceTypes, tables) +
           downloadOutput(texts) + replacementOutput(texts);
}

QString outputMarkedUntilTheNewLanguageFile() {
    const qsizetype installed = kReplacementSteps.indexOf("Installiere neue Sprachdatei ...") + 1;
    QString output = shutdownOutput(Texts::Untranslated) +
                     migrationOutput(Texts::Untranslated, 1, 15, 1) +
                     downloadOutput(Texts::Untranslated);
    for (const QString& step : kReplacementSteps.first(installed)) {
        output += closedLine(shown(Texts::Untranslated, step));
    }
    for (const QString& step : kReplacementSteps.mid(installed)) {
        output += closedLine(step);
    }
    return output + "Update erfolgreich ausgeführt.\n";
}

QString confirmationMessage(Texts texts) {
    return messageBox(
        {shown(texts, "Im Zuge dieses Updates müssen die Pelorix Dienste beendet werden."),
         shown(texts,
               "Sie benötigen Administratorrechte um das Update auszuführen. Wollen Sie "
               "fortfahren ?")});
}

QString finalQuestion(Texts texts) {
    return messageBox(
        {shown(texts, "Das Update wurde erfolgreich durchgeführt."),
         shown(texts, "Sie müssen die Dienste im Konfigurationsprogramm noch starten."), "",
         shown(texts, "Wollen Sie jetzt das Konfigurationsprogramm vom Pelorix öffnen ?")});
}

QString generalFailureMessage(Texts texts) {
    return messageBox(
        {shown(texts,
               "Es ist ein Fehler aufgetreten. Sie müssen den Pelorix evtl. neu installieren."),
         shown(texts, "Sie können auch versuchen, das Update erneut durchzuführen.")});
}

QString downloadErrorMessage(Texts texts) {
    return messageBox(
        {shown(texts, "Fehler beim Download. Der Vorgang wird abgebrochen."),
         shown(texts,
               "Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre Einstellungen der "
               "Firewall."),
         "", shown(texts, "Sie können bei Orvane auch ein Offline-Update erhalten.")});
}

QString databaseErrorMessage(Texts texts) {
    return messageBox(
        {shown(texts, "Der Updater konnte nicht auf die Datenbank zugreifen."),
         shown(texts,
               "Bitte prüfen Sie ob die Datenbank bereits durch andere Programme geöffnet "
               "ist"),
         shown(texts, "und versuchen es dann erneut. Der Vorgang wird abgebrochen.")});
}

QString retryMessage(Texts texts) {
    return messageBox(
        {shown(texts, "Der PelorixService konnte nicht deinstalliert werden."),
         shown(texts,
               "Bitte prüfen Sie, ob alle Meldungsfenster vom Service geschlossen sind, "
               "bevor Sie dieses Fenster bestätigen."),
         shown(texts, "Der Vorgang wird nun ein mal wiederholt.")});
}

QString mainProgramRunningMessage(Texts texts) {
    return messageBox({shown(texts, "Sie müssen vor dem Update erst den Pelorix beenden.")});
}

QString serviceNotStoppedMessage(Texts texts, const QString& service) {
    return messageBox({shown(texts, "Der " + service + " konnte nicht beendet werden."),
                       shown(texts,
                             "Bitte versuchen Sie es erneut, ggf. kann der Dienst auch "
                             "erst nach einem Rechnerneustart beendet werden.")});
}

// Every status text is an entry, each closing "OK" one of its own; the header of a run is two
// empty lines before "Updater started version: ", which follows the first status text.
QStringList firstRunLog() {
    QStringList log{"Release not verified: no trusted release key.",
                    "Beende den PelorixService",
                    "[]",
                    "[]",
                    "Updater started version: v 6.15.1",
                    "OK",
                    "Beende den HavrelService",
                    "OK",
                    "Checking database ...",
                    "Überprüfe Datenbank ...",
                    "AddColumn. Table: tblPrinters, Column: YTonerOrder, ColumnType: string (50)",
                    "Updating column TonerLimit ..",
                    "UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0"};
    for (const QString& type : kPrinterTypes) {
        log << "AddPrinterType. ID: " + type;
    }
    log << "starting creation of new tables ..."
        << "CREATE TABLE tblTonerFlow (FlowID counter, PrinterID integer default 0, [TimeStamp] "
           "date, TonerLevel integer);"
        << "CREATE  UNIQUE Index DepartmentID ON [tblDepartment] ([DepartmentID])"
        << "OK"
        << "Neue Tabellenspalten: 1"
        << "Neue Gerätetypen: 15"
        << "Komplett neue Tabellen: 1"
        << "Finished database checks. NT: 1, ND: 15, NC: 1";
    for (const QString& step : downloadSteps() + kReplacementSteps) {
        log << step << "OK";
    }
    return log << "Update erfolgreich ausgeführt.";
}

}  // namespace pelorix::e2e
