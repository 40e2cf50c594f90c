#include "demo_release.h"

#include "app/release/components.h"
#include "i18n/built_in_texts.h"
#include "release_signing.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QStringList>

namespace pelorix::tools {
namespace {

// How much longer than its minimum size each file is.
constexpr qint64 kExtraBytes = 5000;
constexpr qsizetype kPaddingLineLength = 100;

// The release's own language file carries the texts the updater added, as a real release's does.
QString builtInLanguageFile() {
    QString text = QStringLiteral(
        "; Language file of the Pelorix demo release\n"
        "[LanguageSettings]\n"
        "SupportedLanguages=DE,EN\n"
        "\n"
        "[Update ausführen]\n"
        "DE=Update ausführen\n"
        "EN=Run update\n");
    for (const i18n::BuiltInText& added : i18n::kBuiltInTexts) {
        const QString german = added.german.toString();
        text += "\n[" + german + "]\nDE=" + german + "\nEN=" + added.english.toString() + "\n";
    }
    return text;
}

const QString kHistory = QStringLiteral(
    "Pelorix – Versionshistorie\n"
    "\n"
    "Demo-Release\n"
    "- Neue Gerätetypen für fünfzehn Druckermodelle\n"
    "- Neue Tabelle und eindeutiger Index in der Datenbank\n"
    "- Überarbeitete Dienste PelorixService und HavrelService\n"
    "- Neue Dokumentation in Deutsch und Englisch\n");

QByteArray windows1252(const QString& text) {
    QStringEncoder encoder("windows-1252");
    QString crlf = text;
    crlf.replace("\r\n", "\n").replace("\n", "\r\n");
    return encoder.encode(crlf);
}

// Comment lines (`marker` first) until the content is `size` bytes long.
QByteArray padded(QByteArray content, const QByteArray& marker, qint64 size) {
    while (content.size() < size) {
        QByteArray line = marker + QByteArray(kPaddingLineLength, '.') + "\r\n";
        content += line.left(std::max<qint64>(size - content.size(), 0));
    }
    return content;
}

QByteArray programFile(const QString& name, qint64 size) {
    const QByteArray script =
        "#!/bin/sh\n"
        "# " +
        name.toLatin1() +
        " of the Pelorix demo release.\n"
        "echo \"" +
        name.toLatin1() +
        " (Pelorix demo release) ran\"\n"
        "exit 0\n";
    return padded(script, "# ", size);
}

QByteArray documentFile(const QString& name, qint64 size) {
    QByteArray head = name.endsWith(".dll")   ? "MZ"
                      : name.endsWith(".pdf") ? "%PDF-1.4\n"
                      : name.endsWith(".chm") ? "ITSF"
                                              : "";
    head += "\nPelorix demo release: " + name.toLatin1() + "\r\n";
    return padded(head, "~ ", size);
}

bool write(const QString& path, const QByteArray& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        error = "cannot write " + path + ": " + file.errorString();
        return false;
    }
    if (path.endsWith(".exe")) {
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                            QFileDevice::ExeOther);
    }
    return true;
}

bool languageText(const QString& languageSource, QString& text, QString& error) {
    if (languageSource.isEmpty()) {
        text = builtInLanguageFile();
        return true;
    }
    QFile file(languageSource);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + languageSource + ": " + file.errorString();
        return false;
    }
    text = QString::fromUtf8(file.readAll());
    if (!text.contains("[LanguageSettings]", Qt::CaseInsensitive)) {
        error = languageSource + " has no [LanguageSettings] section";
        return false;
    }
    return true;
}

// A file of the payload folder goes in as it is, lengthened with zero bytes where it is short:
// Windows loads a program or library without looking at what follows its image.
QByteArray releaseFile(const app::ReleaseComponent& component, const QByteArray& language,
                       const QString& payloadFolder) {
    const QString name = component.fileName.toString();
    const qint64 size = qint64{component.minimumSize} * 1000 + kExtraBytes;
    if (QFile payload(payloadFolder + "/" + name);
        !payloadFolder.isEmpty() && payload.open(QIODevice::ReadOnly)) {
        QByteArray bytes = payload.readAll();
        return bytes.size() < size ? bytes + QByteArray(size - bytes.size(), '\0') : bytes;
    }
    if (name == "Language.ini") {
        return padded(language + "\r\n", "; ", size);
    }
    return name.endsWith(".exe") ? programFile(name, size) : documentFile(name, size);
}

}  // namespace

bool writeDemoRelease(const QString& folder, const QString& languageSource,
                      const QString& payloadFolder, const QString& keyFolder,
                      const SignatureTimes& times, QString& error) {
    QString language;
    if (!languageText(languageSource, language, error)) {
        return false;
    }
    const QString updater = folder + "/Updater";
    const QString sources = folder + "/sources";
    if (!QDir().mkpath(updater) || !QDir().mkpath(sources)) {
        error = "cannot create the folders in " + folder;
        return false;
    }
    const QByteArray languageBytes = windows1252(language);
    QStringList names;
    for (const app::ReleaseComponent& component : app::kReleaseComponents) {
        names << component.fileName.toString();
        if (!write(updater + "/" + names.last(),
                   releaseFile(component, languageBytes, payloadFolder), error)) {
            return false;
        }
    }
    const auto key = takeOrCreateSigningKey(keyFolder, error);
    return key && writeSignedManifest(updater, names, *key, times, error) &&
           write(sources + "/PX_History.txt", windows1252(kHistory), error);
}

}  // namespace pelorix::tools
