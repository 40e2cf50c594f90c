#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

namespace pelorix::e2e {

// The Windows program of a 64-bit Windows build, run under Wine in place of the Linux one, on
// the same sandbox: Wine reaches the sandbox through drive Z:, registers libraries with its own
// regsvr32 into its own registry, and the release's programs and libraries are real Windows
// ones. PELORIX_E2E_WINDOWS_BUILD names the build; without it the Linux program runs.
class WineHost {
  public:
    static std::unique_ptr<WineHost> fromEnvironment();
    explicit WineHost(QString windowsBuild);

    // "/tmp/x/app" as the Windows program names it, "Z:\tmp\x\app", and back.
    static QString windowsPath(const QString& hostPath);
    static QString hostPath(const QString& windowsPath);

    // The program folder of the build (exe, Qt, runtime) copied into `folder`.
    void placeProgram(const QString& folder) const;
    QString executable(const QString& folder) const { return folder + "/PelorixUpdater.exe"; }
    // The program that starts a Windows program: arguments = the exe's host path and its own.
    QString launcher() const;
    QStringList launcherArguments(const QString& exe, const QStringList& arguments) const;
    void addTo(QProcessEnvironment& environment) const;

    // A release's payload: the demo program under each .exe name, the demo library under each
    // .dll name (write-release --payload-folder).
    void writePayload(const QString& folder, const QStringList& names) const;
    // An old library: the demo library with `marker` after its image, where Windows ignores it.
    void writeLibrary(const QString& path, const QByteArray& marker) const;
    // The demo program itself, e.g. as an old program that is to run.
    QString demoProgram() const;

    // Registers the libraries with Wine's regsvr32, all in one Wine start.
    void registerLibraries(const QStringList& hostPaths) const;
    // The host paths in `folder` that Wine's registry names as the server of a demo library.
    QStringList registeredLibraries(const QString& folder) const;

  private:
    QString build_;
};

}  // namespace pelorix::e2e
