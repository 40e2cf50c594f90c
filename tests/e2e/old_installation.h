#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pelorix::e2e {

// The installed release before the update, laid out as scripts/demo lays it out.
const QStringList& oldPrograms();   // Pelorix.exe, PelorixService.exe, ... in the program folder
const QStringList& oldDocuments();  // the documents in the program folder
const QStringList& oldLibraries();  // the five libraries of the system folder
const QStringList& comLibraries();  // the four of them that are registered (not HavrelDLL)
// The content each old file is written with.
QByteArray oldContent(const QString& name);

void writeOldInstallation(const QString& appFolder);
void writeOldLibraries(const QString& systemFolder);

// The sixteen files of a release, in the order they are fetched.
const QStringList& releaseFileNames();
// The temporary names the download gives them in the program folder.
const QStringList& temporaryFileNames();

}  // namespace pelorix::e2e
