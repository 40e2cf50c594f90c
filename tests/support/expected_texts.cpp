#include "support/expected_texts.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace pelorix::test {

namespace {

// Section name (the German text) to its EN key, as the file in the source tree has them.
QHash<QString, QString> readEnglishColumn() {
    QFile file(QStringLiteral(PELORIX_SOURCE_DIR "/tools/demo/language.ini"));
    QHash<QString, QString> english;
    if (!file.open(QIODevice::ReadOnly)) {
        return english;
    }
    QString section;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes).remove('\r');
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
        } else if (line.startsWith("EN=")) {
            english.insert(section, line.mid(3));
        }
    }
    return english;
}

}  // namespace

QString demoEnglishText(const QString& german) {
    static const QHash<QString, QString> english = readEnglishColumn();
    return english.value(german);
}

const QStringList& replacementSteps() {
    static const QStringList steps{"Entferne Registrierung für DLL's ...",
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
    return steps;
}

const QStringList& generalFailureLines() {
    static const QStringList lines{
        "Es ist ein Fehler aufgetreten. Sie müssen den Pelorix evtl. neu installieren.",
        "Sie können auch versuchen, das Update erneut durchzuführen."};
    return lines;
}

QString untranslatedMessage(const QStringList& lines) {
    return lines.join("!\r") + "!";
}

QString closedStatusLine(const QString& text, const QString& result) {
    const qsizetype dots = std::max<qsizetype>(0, 40 - text.size() - result.size() - 1);
    return text + QString(dots, '.') + " " + result;
}

}  // namespace pelorix::test
