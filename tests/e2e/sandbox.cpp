#include "sandbox.h"

#include "build_paths.h"
#include "old_installation.h"
#include "process_scan.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

#include <algorithm>
#include <stdexcept>

#include <unistd.h>

namespace pelorix::e2e {

namespace {

// Short enough that a service which never stops or a stalled download costs little, and the
// procedure's own waits a tenth of their seconds; the real limits and waits run in one test each.
const std::map<QString, QString> kShortLimits{{"PELORIX_STOP_TIMEOUT_SECONDS", "2"},
                                              {"PELORIX_DOWNLOAD_STALL_SECONDS", "1"},
                                              {"PELORIX_TEST_WAIT_PERCENT", "10"}};

void require(bool condition, const QString& what) {
    if (!condition) {
        throw std::runtime_error(("sandbox: " + what).toStdString());
    }
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write " + path);
    file.write(bytes);
}

// A hard link where possible: the updater finds its folder through /proc/self/exe, so it must
// lie in the sandbox, and a link costs nothing.
void placeExecutable(const QString& source, const QString& target) {
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0) {
        require(QFile::copy(source, target), "cannot copy " + source);
    }
}

QByteArray windows1252(QString text) {
    text.replace("\r\n", "\n").replace("\n", "\r\n");
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

void runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool done = process.waitForFinished(30000);
    require(done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            program + " failed: " + QString::fromUtf8(process.readAll()));
}

}  // namespace

Sandbox::Sandbox()
    : wine_(WineHost::fromEnvironment()),
      dir_(QDir::tempPath() + "/pelorix-e2e-XXXXXX"),
      systemFolder_(path("system")),
      environment_(kShortLimits) {
    require(dir_.isValid(), "no temporary folder");
    makeLayout();
    writeSettings();
    writeLanguageFile();
    writeOldInstallation(appFolder());
    writeLibraries(systemFolder_);
    registerOldLibraries();
    makeDatabase();
    writeRelease();
}

Sandbox::~Sandbox() {
    stopStandIns();
    // Whatever the updater started from here and left running.
    endProcessesMentioning(root() + "/");
    if (wine_) {
        endProcessesMentioning(WineHost::windowsPath(root()) + "\\");
    }
    exclusive_.reset();
}

void Sandbox::makeLayout() {
    for (const char* folder :
         {"appdata/Pelorix", "app", "system", "data", "updater", "registrar"}) {
        require(QDir().mkpath(path(folder)), QString("cannot create ") + folder);
    }
    if (wine_) {
        wine_->placeProgram(path("updater"));
    } else {
        placeExecutable(updaterExecutable(), path("updater/PelorixUpdater"));
    }
    // Where the package puts it, relative to the updater; a Wine registrar on the search path or
    // beside the updater (Wine's /usr/bin/regsvr32 beside the packaged one) would spoil the
    // registry.
    require(QDir().mkpath(path("lib/pelorix-updater")), "cannot create lib/pelorix-updater");
    placeExecutable(toolExecutable("regsvr32", "regsvr32"), path("lib/pelorix-updater/regsvr32"));
    for (const char* wine : {"wine/regsvr32", "updater/regsvr32"}) {
        writeBytes(path(wine), "#!/bin/sh\necho \"wine $*\" >>\"$PELORIX_COM_REGISTRY\"\n");
        QFile::setPermissions(path(wine), QFile::ReadOwner | QFile::ExeOwner);
    }
}

void Sandbox::makeDatabase() {
    runTool(toolExecutable("sample-db", "pelorix-sample-db"), {databaseFile()});
}

void Sandbox::writeRelease() {
    QStringList arguments{"write-release", path("release"), "--language-source",
                          sourceFile("tools/demo/language.ini")};
    if (wine_) {
        wine_->writePayload(path("payload"), releaseFileNames());
        arguments << "--payload-folder" << path("payload");
    }
    runTool(toolExecutable("update-server", "pelorix-update-server"), arguments);
}

// Real libraries under Wine, which its regsvr32 registers; each old one its own bytes.
void Sandbox::writeLibraries(const QString& folder) {
    writeOldLibraries(folder);
    if (wine_) {
        for (const QString& library : oldLibraries()) {
            wine_->writeLibrary(folder + "/" + library, oldContent(library));
        }
    }
}

void Sandbox::writeSettings(const QString& language, const QString& updateLog) {
    writeSettingsBytes(windows1252("[ServiceSettings]\nDataBasePath=" + programPath(path("data")) +
                                   "\nAppPath=" + programPath(appFolder()) +
                                   "\n[Settings]\nUpdateLog=" + updateLog +
                                   "\nLanguage=" + language + "\nLearningLanguage=EN\n"));
}

void Sandbox::writeSettingsBytes(const QByteArray& bytes) {
    writeBytes(settingsFile(), bytes);
}

void Sandbox::writeLanguageFile() {
    QFile source(sourceFile("tools/demo/language.ini"));
    require(source.open(QIODevice::ReadOnly), "no demo language file");
    writeBytes(path("app/Language.ini"), windows1252(QString::fromUtf8(source.readAll())));
}

void Sandbox::removeLanguageFile() {
    QFile::remove(path("app/Language.ini"));
}

void Sandbox::moveSystemFolderTo(const QString& parent) {
    foreignSystemFolder_ = std::make_unique<QTemporaryDir>(parent + "/pelorix-e2e-system-XXXXXX");
    require(foreignSystemFolder_->isValid(), "cannot create a folder in " + parent);
    QDir(systemFolder_).removeRecursively();
    systemFolder_ = foreignSystemFolder_->path();
    writeLibraries(systemFolder_);
    registerOldLibraries();
}

// As regsvr32 keeps its registry: one absolute path a line.
void Sandbox::registerOldLibraries() {
    QStringList registered;
    for (const QString& library : comLibraries()) {
        registered << systemFolder_ + "/" + library;
    }
    writeBytes(registryFile(), (registered.join('\n') + '\n').toUtf8());
    if (wine_) {
        wine_->registerLibraries(registered);
    }
}

void Sandbox::startSupervisor(const QStringList& extraArguments) {
    supervisor_.reset();
    auto supervisor =
        std::make_unique<BackgroundProcess>(toolExecutable("supervisor", "pelorix-supervisor"),
                                            QStringList{"--document", controlDocument(), "--create",
                                                        "--delay-ms", "150", "--poll-ms", "10"} +
                                                extraArguments);
    require(supervisor->waitForLine("ready").has_value(),
            "the supervisor did not start: " + supervisor->output());
    supervisor_ = std::move(supervisor);
}

void Sandbox::stopSupervisor() {
    supervisor_.reset();
}

void Sandbox::startUpdateServer(const QStringList& faults) {
    launchUpdateServer(QStringList{"--quiet"} + faults);
}

void Sandbox::startRequestLoggingUpdateServer(const QStringList& faults) {
    launchUpdateServer(faults);
}

// The server logs "GET /Updater/NAME 200" to standard error for each request.
QStringList Sandbox::requestedFiles() const {
    QStringList names;
    const QString output = updateServer_ ? updateServer_->output() : QString();
    for (const QString& line : output.split('\n')) {
        if (line.contains(" /Updater/")) {
            names << line.section(' ', 1, 1).section('/', 2);
        }
    }
    return names;
}

// The lines read "GET /Updater/NAME STATUS LENGTH".
QList<QPair<int, qint64>> Sandbox::answersFor(const QString& name) const {
    QList<QPair<int, qint64>> answers;
    const QString output = updateServer_ ? updateServer_->output() : QString();
    for (const QString& line : output.split('\n')) {
        const QStringList fields = line.split(' ');
        if (fields.size() == 4 && fields[1] == "/Updater/" + name) {
            answers.append({fields[2].toInt(), fields[3].toLongLong()});
        }
    }
    return answers;
}

void Sandbox::launchUpdateServer(const QStringList& arguments) {
    updateServer_.reset();
    auto server = std::make_unique<BackgroundProcess>(
        toolExecutable("update-server", "pelorix-update-server"),
        QStringList{"serve", "--root", path("release"), "--port", "0"} + arguments);
    const auto address = server->waitForLine("listening on ");
    require(address.has_value(), "the update server did not start: " + server->output());
    serverBase_ = *address + "/Updater";
    updateServer_ = std::move(server);
}

void Sandbox::stopStandIns() {
    supervisor_.reset();
    updateServer_.reset();
    others_.clear();
}

BackgroundProcess& Sandbox::startBackground(const QString& program, const QStringList& arguments) {
    others_.push_back(std::make_unique<BackgroundProcess>(program, arguments));
    return *others_.back();
}

void Sandbox::setEnvironment(const QString& name, const QString& value) {
    if (value.isEmpty()) {
        environment_.erase(name);
    } else {
        environment_[name] = value;
    }
}

QProcessEnvironment Sandbox::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name.startsWith("PELORIX_")) {
            environment.remove(name);
        }
    }
    environment.insert("PELORIX_COMMON_APPDATA", appDataFolder());
    environment.insert("PELORIX_SYSTEM_FOLDER", systemFolder_);
    environment.insert("PELORIX_UPDATE_SERVER", serverBase_);
    environment.insert("PELORIX_COM_REGISTRY", registryFile());
    environment.insert("PATH", path("wine") + ":" + environment.value("PATH"));
    if (environment.value("QT_QPA_PLATFORM").isEmpty()) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");  // a window needs no display
    }
    for (const auto& [name, value] : environment_) {
        environment.insert(name, value);
    }
    if (wine_) {
        wine_->addTo(environment);
        for (const char* name :
             {"PELORIX_COMMON_APPDATA", "PELORIX_SYSTEM_FOLDER", "PELORIX_RELEASE_KEY"}) {
            if (environment.value(name).startsWith('/')) {
                environment.insert(name, programPath(environment.value(name)));
            }
        }
    }
    return environment;
}

std::unique_ptr<UpdaterProcess> Sandbox::start(const QStringList& arguments,
                                               const QString& errorFile) {
    auto lock = exclusive_ ? nullptr : std::make_unique<test::RunLock>(test::RunLock::Kind::Shared);
    if (wine_) {
        return std::make_unique<UpdaterProcess>(
            wine_->launcher(),
            wine_->launcherArguments(wine_->executable(path("updater")), arguments), environment(),
            errorFile, std::move(lock));
    }
    return std::make_unique<UpdaterProcess>(path("updater/PelorixUpdater"), arguments,
                                            environment(), errorFile, std::move(lock));
}

void Sandbox::keepOtherRunsAway() {
    exclusive_ = std::make_unique<test::RunLock>(test::RunLock::Kind::Exclusive);
}

RunResult Sandbox::run(const QStringList& arguments, std::chrono::milliseconds limit) {
    return start(arguments)->wait(limit);
}

QStringList Sandbox::debugLogMessages() const {
    QFile file(debugLogFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringDecoder decoder("windows-1252");
    const QString text = decoder.decode(file.readAll());
    // An entry: the date as day.month.year, a blank, the time, "> ", the message; a header line
    // is shown in brackets.
    static const QRegularExpression entry(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d> (.*)$)");
    QStringList messages;
    for (const QString& line : text.split("\r\n")) {
        const QRegularExpressionMatch match = entry.match(line);
        messages << (match.hasMatch() ? match.captured(1) : "[" + line + "]");
    }
    if (!messages.isEmpty() && messages.last() == "[]") {
        messages.removeLast();  // the line break that ends the last entry
    }
    return messages;
}

QStringList Sandbox::registeredLibraries(QStringList expected,
                                         std::chrono::milliseconds limit) const {
    std::sort(expected.begin(), expected.end());
    const QDeadlineTimer deadline(limit);
    QStringList paths;
    do {
        if (wine_) {
            paths = wine_->registeredLibraries(systemFolder_);
        } else {
            QFile file(registryFile());
            paths.clear();
            if (file.open(QIODevice::ReadOnly)) {
                paths = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
            }
        }
        std::sort(paths.begin(), paths.end());
        if (paths == expected) {
            break;
        }
        QThread::msleep(20);
    } while (!deadline.hasExpired());
    return paths;
}

}  // namespace pelorix::e2e
