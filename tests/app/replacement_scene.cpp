#include "app/replacement_scene.h"

#include "app/release/components.h"
#include "platform/text_codec.h"

#include <QDir>
#include <QFile>

namespace pelorix::test {

platform::Outcome FaultyFileSystem::deleteFile(const QString& path) {
    if (beforeDelete) {
        beforeDelete(path);
    }
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    if (deleteFailures.value(name) > 0) {
        --deleteFailures[name];
        calls.append("deleteFile (failed) " + path);
        return platform::Outcome::failure(QStringLiteral("failing on purpose"));
    }
    return ForwardingFileSystem::deleteFile(path);
}

platform::Outcome FaultyFileSystem::moveFile(const QString& from, const QString& to) {
    if (beforeMove) {
        beforeMove(from, to);
    }
    return ForwardingFileSystem::moveFile(from, to);
}

std::function<bool(const QStringList&)> registrarStart(const QString& library, bool unregister) {
    const QStringList switches = unregister ? QStringList{"/u", "/s"} : QStringList{"/s"};
    return [=](const QStringList& argv) {
        return argv.size() == 2 + switches.size() && argv[1].endsWith("/" + library) &&
               argv.mid(2) == switches;
    };
}

ReplacementScene::ReplacementScene() {
    harness.files = &files;
}

app::UpdateContext& ReplacementScene::context() {
    if (!context_) {
        app::UpdateContext& base = harness.context();
        app::UpdateServices services{base.services.files,     *starter,
                                     base.services.processes, base.services.clock,
                                     base.services.database,  base.services.http};
        context_ = std::make_unique<app::UpdateContext>(
            app::UpdateContext{base.form, base.settings, base.ui, base.status, base.debugLog,
                               base.waiter, base.language, base.xml, services,
                               base.updateServerBase, base.ownFolder, base.controlDocument});
    }
    return *context_;
}

void ReplacementScene::writeOldInstallation() {
    const QStringList appFiles = {
        "Pelorix.exe",       "PelorixService.exe", "HavrelService.exe",
        "PelorixHelper.exe", "PXWebServer.exe",    "Sorvand.exe",
        "PXAS.exe",          "Reports.exe",        "PXAS_Dokumentation.pdf",
        "PXHelp.chm",        "PXHilfe.chm"};
    for (const QString& name : appFiles) {
        harness.dir.write("app/" + name, "old " + name.toUtf8());
    }
    const QStringList libraries = {"TobrinDLL.dll", "MireldaDLL.dll", "HavrelDLL.dll",
                                   "Quennel.dll", "braskDLL.dll"};
    for (const QString& name : libraries) {
        QFile file(systemFile(name));
        file.open(QIODevice::WriteOnly);
        file.write("old " + name.toUtf8());
    }
    harness.dir.write("app/PelorixDokumentation/index.html", "doc");
    harness.dir.write("app/PelorixDokumentation/bilder/logo.png", "png");
    harness.dir.write("app/web/start.html", "web");
    harness.dir.write("app/Language.ini", languageFile("(alt)"));
}

void ReplacementScene::writeDownloadedFiles() {
    for (const app::ReleaseComponent& component : app::kReleaseComponents) {
        QFile file(component.temporaryPath(harness.settings.appPath));
        file.open(QIODevice::WriteOnly);
        file.write(component.fileName.toString() == "Language.ini"
                       ? languageFile("(neu)")
                       : "new " + component.fileName.toString().toUtf8());
    }
}

QByteArray ReplacementScene::languageFile(const QString& mark) const {
    QString text = "[LanguageSettings]\r\nSupportedLanguages=DE\r\n";
    QStringList tokens = replacementSteps();
    tokens << "Update erfolgreich ausgeführt.";
    for (const QString& token : tokens) {
        text += "[" + token + "]\r\nDE=" + token + " " + mark + "\r\n";
    }
    return platform::encodeAnsi(text);
}

QStringList ReplacementScene::messageTexts() const {
    QStringList texts;
    for (const FakeUi::Message& message : harness.ui.messages) {
        texts.append(message.text);
    }
    return texts;
}

QString closedLine(const QString& text, const QString& result) {
    return test::closedStatusLine(text, result) + "\r\n";
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace pelorix::test
