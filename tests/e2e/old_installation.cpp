#include "old_installation.h"

#include <QDir>
#include <QFile>

namespace pelorix::e2e {

namespace {

void writeFile(const QString& path, const QByteArray& content, bool executable = false) {
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
    file.close();
    if (executable) {
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                            QFile::ExeOther);
    }
}

}  // namespace

const QStringList& oldPrograms() {
    static const QStringList names{"Pelorix.exe",       "PelorixService.exe", "HavrelService.exe",
                                   "PelorixHelper.exe", "PXWebServer.exe",    "Sorvand.exe",
                                   "PXAS.exe",          "Reports.exe"};
    return names;
}

const QStringList& oldDocuments() {
    static const QStringList names{"PXAS_Dokumentation.pdf", "PXHelp.chm", "PXHilfe.chm"};
    return names;
}

const QStringList& oldLibraries() {
    static const QStringList names{"TobrinDLL.dll", "MireldaDLL.dll", "HavrelDLL.dll",
                                   "Quennel.dll", "braskDLL.dll"};
    return names;
}

const QStringList& comLibraries() {
    static const QStringList names{"TobrinDLL.dll", "MireldaDLL.dll", "Quennel.dll",
                                   "braskDLL.dll"};
    return names;
}

QByteArray oldContent(const QString& name) {
    if (name.endsWith(".exe")) {
        return "#!/bin/sh\necho \"old " + name.toLatin1() + "\"\n";
    }
    return "old " + name.toLatin1() + "\n";
}

void writeOldInstallation(const QString& appFolder) {
    for (const QString& program : oldPrograms()) {
        writeFile(appFolder + "/" + program, oldContent(program), true);
    }
    for (const QString& document : oldDocuments()) {
        writeFile(appFolder + "/" + document, oldContent(document));
    }
    writeFile(appFolder + "/PelorixDokumentation/Handbuch.html", oldContent("Handbuch.html"));
    writeFile(appFolder + "/PelorixDokumentation/Bilder/logo.png", oldContent("logo.png"));
    writeFile(appFolder + "/web/index.html", oldContent("index.html"));
    writeFile(appFolder + "/web/css/style.css", oldContent("style.css"));
}

void writeOldLibraries(const QString& systemFolder) {
    for (const QString& library : oldLibraries()) {
        writeFile(systemFolder + "/" + library, oldContent(library));
    }
}

const QStringList& releaseFileNames() {
    static const QStringList names{"PelorixService.exe",
                                   "HavrelService.exe",
                                   "PelorixHelper.exe",
                                   "Pelorix.exe",
                                   "TobrinDLL.dll",
                                   "MireldaDLL.dll",
                                   "Quennel.dll",
                                   "braskDLL.dll",
                                   "Reports.exe",
                                   "PXWebServer.exe",
                                   "Sorvand.exe",
                                   "PXAS.exe",
                                   "PXAS_Dokumentation.pdf",
                                   "PXHilfe.chm",
                                   "PXHelp.chm",
                                   "Language.ini"};
    return names;
}

const QStringList& temporaryFileNames() {
    static const QStringList names{"PXS.exe",     "HVS.exe",     "PXH.exe",    "PX.exe",
                                   "PXDLL.dll",   "HVDLL.dll",   "QNLDLL.dll", "braskDLL.dll",
                                   "RP.exe",      "WS.exe",      "SVD.exe",    "AS.exe",
                                   "PXASDoc.tmp", "PXHilfe.tmp", "PXHelp.tmp", "Language.tmp"};
    return names;
}

}  // namespace pelorix::e2e
