#include "expected_output.h"

#include "support/expected_texts.h"

namespace pelorix::e2e {

namespace {

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
        case Texts::English: {
            const QString english = test::demoEnglishText(german);
            return english.isEmpty() ? german + " (no English text in the demo language file)"
                                     : english;
        }
        case Texts::Untranslated:
            return german + "!";
    }
    return german;
}

QString closedLine(const QString& text, const QString& result) {
    return test::closedStatusLine(text, result) + "\n";
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
    for (const QString& step : test::replacementSteps()) {
        output += closedLine(shown(texts, step));
    }
    return output + shown(texts, "Update erfolgreich ausgeführt.") + "\n";
}

QString fullRunOutput(Texts texts, int columns, int deviceTypes, int tables) {
    return shutdownOutput(texts) + migrationOutput(texts, columns, deviceTypes, tables) +
           downloadOutput(texts) + replacementOutput(texts);
}

QString stoppedInReplacement(const QString& openStep) {
    QString output = shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                     downloadOutput(Texts::German);
    for (const QString& step : test::replacementSteps()) {
        if (step == openStep) {
            return output + openStep;
        }
        output += closedLine(step);
    }
    return output + openStep + " (not a replacement step)";
}

QString outputMarkedUntilTheNewLanguageFile() {
    const qsizetype installed =
        test::replacementSteps().indexOf("Installiere neue Sprachdatei ...") + 1;
    QString output = shutdownOutput(Texts::Untranslated) +
                     migrationOutput(Texts::Untranslated, 1, 15, 1) +
                     downloadOutput(Texts::Untranslated);
    for (const QString& step : test::replacementSteps().first(installed)) {
        output += closedLine(shown(Texts::Untranslated, step));
    }
    for (const QString& step : test::replacementSteps().mid(installed)) {
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
    QStringList lines;
    for (const QString& line : test::generalFailureLines()) {
        lines << shown(texts, line);
    }
    return messageBox(lines);
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

// Every status text is an entry, each closing "OK" one of its own; the header of a run, two
// empty lines before "Updater started version: ", comes before every other entry of the run,
// then the sandbox's shortened waits unless a test waits in full.
QStringList firstRunLog(bool shortenedWaits) {
    QStringList log{"[]", "[]", "Updater started version: v 6.15.1"};
    if (shortenedWaits) {
        log << "Test knob PELORIX_TEST_WAIT_PERCENT: every wait lasts 10 % of its seconds.";
    }
    log << "Release not verified: no trusted release key."
        << "Beende den PelorixService"
        << "OK"
        << "Beende den HavrelService"
        << "OK"
        << "Checking database ..."
        << "Überprüfe Datenbank ..."
        << "AddColumn. Table: tblPrinters, Column: YTonerOrder, ColumnType: string (50)"
        << "Updating column TonerLimit .."
        << "UPDATE tblPrinters SET TonerLimit = -1 WHERE TonerLimit = 0";
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
    for (const QString& step : downloadSteps() + test::replacementSteps()) {
        log << step << "OK";
    }
    return log << "Update erfolgreich ausgeführt.";
}

}  // namespace pelorix::e2e
