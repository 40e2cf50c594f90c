#pragma once

#include "background_process.h"
#include "updater_process.h"
#include "wine_host.h"

#include <QList>
#include <QPair>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace pelorix::e2e {

// A complete Pelorix installation of its own for one test, in a fresh temporary folder:
//   appdata/Pelorix/Pelorix.ini                 the settings file
//   appdata/OrvaneTrellisService/OTRS.xml       the control document (with startSupervisor)
//   app/                                        the old installation and its language file
//   system/                                     the old libraries, the four COM ones registered
//   data/Pelorix.mdb                            a database at version 6.1.0
//   updater/PelorixUpdater                      the updater, started from here (its debug log)
//   lib/pelorix-updater/regsvr32                the stand-in registrar, where the package puts it
//   registrar/registry.txt                      its registry
//   wine/regsvr32, updater/regsvr32             registrars on the search path and beside the
//                                               updater that must not run
//   release/Updater/, release/sources/          the new release for the update server
// Everything it started ends with it.
class Sandbox {
  public:
    static constexpr auto kRunLimit = std::chrono::seconds(60);

    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString root() const { return dir_.path(); }
    QString path(const QString& relative) const { return root() + "/" + relative; }
    QString appDataFolder() const { return path("appdata"); }
    QString settingsFile() const { return path("appdata/Pelorix/Pelorix.ini"); }
    QString controlDocument() const { return path("appdata/OrvaneTrellisService/OTRS.xml"); }
    QString appFolder() const { return path("app"); }
    QString systemFolder() const { return systemFolder_; }
    QString databaseFile() const { return path("data/Pelorix.mdb"); }
    QString updaterFolder() const { return path("updater"); }
    QString releaseFile(const QString& name) const { return path("release/Updater/" + name); }
    QString registryFile() const { return path("registrar/registry.txt"); }
    QString debugLogFile() const { return path("updater/PelorixUpdater_DebugLog.txt"); }
    // The Windows program under Wine runs in place of the Linux one (see WineHost), or none.
    const WineHost* wine() const { return wine_.get(); }
    // A path as the updater is to be told it.
    QString programPath(const QString& hostPath) const {
        return wine_ ? WineHost::windowsPath(hostPath) : hostPath;
    }

    // The settings file as an installation writes it: Windows-1252, CR LF.
    void writeSettings(const QString& language = "DE", const QString& updateLog = "1");
    void writeSettingsBytes(const QByteArray& bytes);
    // The demo language file (German and English) in Windows-1252, or none at all.
    void writeLanguageFile();
    void removeLanguageFile();
    // Puts the system folder under `parent` (another file system), with the old libraries.
    void moveSystemFolderTo(const QString& parent);

    // The stand-in supervising service on a fresh control document in which both services run;
    // one that runs already is replaced.
    void startSupervisor(const QStringList& extraArguments = {});
    // The stand-in update server on the release; faults as its --status/--stall/--close take them.
    // A server that runs already is replaced.
    void startUpdateServer(const QStringList& faults = {});
    // The stand-in update server on the release, noting every request it answers; faults as
    // for startUpdateServer.
    void startRequestLoggingUpdateServer(const QStringList& faults = {});
    // The files asked of the request-logging server so far ("SHA256SUMS", ...), in order.
    QStringList requestedFiles() const;
    // Its answers for one file so far, in order: the status and the body's length.
    QList<QPair<int, qint64>> answersFor(const QString& name) const;
    void stopSupervisor();
    // Any other server (an in-process one, or an address where nothing listens).
    void setUpdateServer(const QString& base) { serverBase_ = base; }
    void stopStandIns();
    // A variable for the updater runs; an empty value removes it.
    void setEnvironment(const QString& name, const QString& value);
    QProcessEnvironment environment() const;

    // Runs the updater to its end (killed after `limit`).
    RunResult run(const QStringList& arguments, std::chrono::milliseconds limit = kRunLimit);
    std::unique_ptr<UpdaterProcess> start(const QStringList& arguments,
                                          const QString& errorFile = {});
    // From now on no other test runs the updater, until otherRunsMayGoOn (see RunLock).
    void keepOtherRunsAway();
    void otherRunsMayGoOn() { exclusive_.reset(); }
    // A program of this sandbox that stays running (e.g. a main program under another name).
    BackgroundProcess& startBackground(const QString& program, const QStringList& arguments = {});

    // The debug log, decoded, with each entry's date and time cut off (checked on the way).
    QStringList debugLogMessages() const;
    // Waits until the registry holds exactly these paths, in any order (the registrars run
    // without being awaited); gives them sorted.
    QStringList registeredLibraries(
        QStringList expected, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

  private:
    void launchUpdateServer(const QStringList& arguments);
    void makeLayout();
    void writeRelease();
    void makeDatabase();
    void registerOldLibraries();
    void writeLibraries(const QString& folder);

    std::unique_ptr<WineHost> wine_;
    QTemporaryDir dir_;
    std::unique_ptr<QTemporaryDir> foreignSystemFolder_;
    QString systemFolder_;
    QString serverBase_;
    std::map<QString, QString> environment_;
    std::unique_ptr<test::RunLock> exclusive_;
    std::unique_ptr<BackgroundProcess> supervisor_;
    std::unique_ptr<BackgroundProcess> updateServer_;
    std::vector<std::unique_ptr<BackgroundProcess>> others_;
};

}  // namespace pelorix::e2e
