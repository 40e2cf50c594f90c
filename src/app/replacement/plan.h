#pragma once

#include "app/release/components.h"

#include <QStringView>

#include <array>
#include <span>
#include <stdexcept>
#include <string_view>

// What the replacement phase removes, installs and registers, in its order.
namespace pelorix::app {

// How a failed delete, move or program start is met.
enum class ErrorMode {
    FailureExit,  // the general failure exit
    Skip,         // go on with the next step
    RetryOnce,    // one retry for the whole step, after a message to the user
};

enum class EntryKind { File, Folder };

// An old entry that is removed when it is found.
struct RemovalRow {
    InstallFolder folder;
    QStringView name;
    EntryKind kind;
    ErrorMode errorMode;
};

struct RemovalStep {
    QStringView statusText;
    std::span<const RemovalRow> rows;
};

// A self-registering library in the system folder.
struct ComLibrary {
    QStringView name;
    ErrorMode unregistrationErrorMode;
};

consteval const ReleaseComponent& releaseComponent(std::u16string_view fileName) {
    for (const ReleaseComponent& component : kReleaseComponents) {
        if (std::u16string_view(component.fileName.utf16(), component.fileName.size()) ==
            fileName) {
            return component;
        }
    }
    throw std::logic_error("not a file of the release");  // a compile error, being consteval
}

// New files moved from their temporary names to their places, under one status line.
struct InstallStep {
    QStringView statusText;
    std::span<const ReleaseComponent* const> components;
    bool waitBeforeClosing = false;  // gives the new services a second before the line closes
};

namespace plan {

inline constexpr ErrorMode kExit = ErrorMode::FailureExit;
inline constexpr InstallFolder kApp = InstallFolder::AppPath;
inline constexpr InstallFolder kSystem = InstallFolder::SystemFolder;

inline constexpr std::array<ComLibrary, 4> kComLibraries{{
    {u"TobrinDLL.dll", kExit},
    {u"MireldaDLL.dll", ErrorMode::Skip},
    {u"Quennel.dll", kExit},
    {u"braskDLL.dll", kExit},
}};

inline constexpr std::array<RemovalRow, 5> kOldLibraries{{
    {kSystem, u"TobrinDLL.dll", EntryKind::File, kExit},
    {kSystem, u"MireldaDLL.dll", EntryKind::File, kExit},
    // Retired with this release; nothing takes its place.
    {kSystem, u"HavrelDLL.dll", EntryKind::File, ErrorMode::Skip},
    {kSystem, u"Quennel.dll", EntryKind::File, kExit},
    {kSystem, u"braskDLL.dll", EntryKind::File, kExit},
}};
inline constexpr std::array<RemovalRow, 1> kOldMainProgram{{
    {kApp, u"Pelorix.exe", EntryKind::File, kExit},
}};
// A service may still be held by one of its message windows: the user gets one chance to close it.
inline constexpr std::array<RemovalRow, 6> kOldServices{{
    {kApp, u"PelorixService.exe", EntryKind::File, ErrorMode::RetryOnce},
    {kApp, u"HavrelService.exe", EntryKind::File, ErrorMode::RetryOnce},
    {kApp, u"PelorixHelper.exe", EntryKind::File, ErrorMode::RetryOnce},
    {kApp, u"PXWebServer.exe", EntryKind::File, ErrorMode::RetryOnce},
    {kApp, u"Sorvand.exe", EntryKind::File, ErrorMode::RetryOnce},
    {kApp, u"PXAS.exe", EntryKind::File, ErrorMode::RetryOnce},
}};
inline constexpr std::array<RemovalRow, 1> kOldReports{{
    {kApp, u"Reports.exe", EntryKind::File, kExit},
}};
inline constexpr std::array<RemovalRow, 4> kOldDocuments{{
    {kApp, u"PXAS_Dokumentation.pdf", EntryKind::File, kExit},
    {kApp, u"PXHelp.chm", EntryKind::File, kExit},
    {kApp, u"PXHilfe.chm", EntryKind::File, kExit},
    {kApp, u"PelorixDokumentation", EntryKind::Folder, kExit},
}};
inline constexpr std::array<RemovalRow, 1> kOldHtmlFiles{{
    {kApp, u"web", EntryKind::Folder, kExit},
}};

inline constexpr std::array<RemovalStep, 6> kRemovalSteps{{
    {u"Entferne alte DLL's ...", kOldLibraries},
    {u"Entferne alten Pelorix ...", kOldMainProgram},
    {u"Entferne alte Dienste ...", kOldServices},
    {u"Entferne alte Reports ...", kOldReports},
    {u"Entferne alte Dokumentationen ...", kOldDocuments},
    {u"Entferne alte HTML-Dateien ...", kOldHtmlFiles},
}};

inline constexpr RemovalRow kOldLanguageFile{kApp, u"Language.ini", EntryKind::File, kExit};
inline constexpr const ReleaseComponent* kNewLanguageFile = &releaseComponent(u"Language.ini");

inline constexpr std::array<const ReleaseComponent*, 4> kNewLibraries{
    &releaseComponent(u"TobrinDLL.dll"), &releaseComponent(u"MireldaDLL.dll"),
    &releaseComponent(u"Quennel.dll"), &releaseComponent(u"braskDLL.dll")};
inline constexpr std::array<const ReleaseComponent*, 1> kNewReports{
    &releaseComponent(u"Reports.exe")};
inline constexpr std::array<const ReleaseComponent*, 1> kNewMainProgram{
    &releaseComponent(u"Pelorix.exe")};
inline constexpr std::array<const ReleaseComponent*, 6> kNewServices{
    &releaseComponent(u"PelorixService.exe"), &releaseComponent(u"HavrelService.exe"),
    &releaseComponent(u"PelorixHelper.exe"),  &releaseComponent(u"PXWebServer.exe"),
    &releaseComponent(u"Sorvand.exe"),        &releaseComponent(u"PXAS.exe")};
inline constexpr std::array<const ReleaseComponent*, 3> kNewDocuments{
    &releaseComponent(u"PXAS_Dokumentation.pdf"), &releaseComponent(u"PXHilfe.chm"),
    &releaseComponent(u"PXHelp.chm")};

inline constexpr std::array<InstallStep, 5> kInstallSteps{{
    {u"Installiere neue DLL's ...", kNewLibraries},
    {u"Installiere neue Reports ...", kNewReports},
    {u"Installiere neuen Pelorix ...", kNewMainProgram},
    {u"Installiere neue Dienste ...", kNewServices, true},
    {u"Installiere neue Dokumentationen ...", kNewDocuments},
}};

}  // namespace plan
}  // namespace pelorix::app
