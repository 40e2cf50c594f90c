#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

namespace pelorix::app {

// Where a component of the release is installed.
enum class InstallFolder { AppPath, SystemFolder };

// One file of a release: fetched under its server name into AppPath + temporaryName, then
// installed under the same server name in its install folder.
struct ReleaseComponent {
    QStringView statusText;     // token of the status line shown while it is fetched
    QStringView fileName;       // name on the update server and in the installation
    QStringView temporaryName;  // appended to AppPath as it stands, leading "/" included
    qint32 minimumSize;         // the body must be longer than this many thousand bytes
    InstallFolder installFolder;

    QString temporaryPath(const QString& appPath) const {
        return appPath + temporaryName.toString();
    }
};

// The files of a release, in the order they are fetched.
inline constexpr std::array<ReleaseComponent, 16> kReleaseComponents{{
    {u"Lade neuen PX-Dienst ...", u"PelorixService.exe", u"/PXS.exe", 270, InstallFolder::AppPath},
    {u"Lade neuen HV-Dienst ...", u"HavrelService.exe", u"/HVS.exe", 165, InstallFolder::AppPath},
    {u"Lade neuen PelorixHelper ...", u"PelorixHelper.exe", u"/PXH.exe", 70,
     InstallFolder::AppPath},
    {u"Lade neuen Pelorix ...", u"Pelorix.exe", u"/PX.exe", 1400, InstallFolder::AppPath},
    {u"Lade neue TobrinDLL ...", u"TobrinDLL.dll", u"/PXDLL.dll", 170, InstallFolder::SystemFolder},
    {u"Lade neue MireldaDLL ...", u"MireldaDLL.dll", u"/HVDLL.dll", 85,
     InstallFolder::SystemFolder},
    {u"Lade neue QNLDLL ...", u"Quennel.dll", u"/QNLDLL.dll", 135, InstallFolder::SystemFolder},
    {u"Lade neue BRASKDLL ...", u"braskDLL.dll", u"/braskDLL.dll", 60, InstallFolder::SystemFolder},
    {u"Lade neue Reports ...", u"Reports.exe", u"/RP.exe", 580, InstallFolder::AppPath},
    {u"Lade neuen WebServer ...", u"PXWebServer.exe", u"/WS.exe", 140, InstallFolder::AppPath},
    {u"Lade neuen Sorvand ...", u"Sorvand.exe", u"/SVD.exe", 130, InstallFolder::AppPath},
    {u"Lade neuen PXAS ...", u"PXAS.exe", u"/AS.exe", 100, InstallFolder::AppPath},
    {u"Lade neue PXAS Dokumentation ...", u"PXAS_Dokumentation.pdf", u"/PXASDoc.tmp", 70,
     InstallFolder::AppPath},
    {u"Lade neue deutsche Dokumentation ...", u"PXHilfe.chm", u"/PXHilfe.tmp", 1400,
     InstallFolder::AppPath},
    {u"Lade neue engl. Dokumentation ...", u"PXHelp.chm", u"/PXHelp.tmp", 1400,
     InstallFolder::AppPath},
    {u"Lade neue Sprachdatei ...", u"Language.ini", u"/Language.tmp", 85, InstallFolder::AppPath},
}};

}  // namespace pelorix::app
