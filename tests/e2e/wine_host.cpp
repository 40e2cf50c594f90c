#include "wine_host.h"

#include "build_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <stdexcept>

namespace pelorix::e2e {

namespace {

void require(bool condition, const QString& what) {
    if (!condition) {
        throw std::runtime_error(("wine host: " + what).toStdString());
    }
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    require(file.open(QIODevice::ReadOnly), "cannot read " + path);
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write " + path);
    file.write(bytes);
}

}  // namespace

std::unique_ptr<WineHost> WineHost::fromEnvironment() {
    const QString build = qEnvironmentVariable("PELORIX_E2E_WINDOWS_BUILD");
    return build.isEmpty() ? nullptr : std::make_unique<WineHost>(build);
}

WineHost::WineHost(QString windowsBuild) : build_(std::move(windowsBuild)) {
    require(QFileInfo::exists(build_ + "/PelorixUpdater/PelorixUpdater.exe"),
            "no Windows program in " + build_);
}

QString WineHost::windowsPath(const QString& hostPath) {
    return "Z:" + QDir::toNativeSeparators(hostPath).replace('/', '\\');
}

QString WineHost::hostPath(const QString& windowsPath) {
    QString path = windowsPath;
    if (path.startsWith("Z:", Qt::CaseInsensitive)) {
        path.remove(0, 2);
    }
    return path.replace('\\', '/');
}

void WineHost::placeProgram(const QString& folder) const {
    QProcess copy;
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start("cp", {"-r", build_ + "/PelorixUpdater/.", folder});
    require(copy.waitForFinished(30000) && copy.exitCode() == 0,
            "cannot copy the program: " + QString::fromUtf8(copy.readAll()));
}

QString WineHost::launcher() const {
    return "bash";
}

// wine-run makes the prefix on first use and ends in exec: the process started is the program.
QStringList WineHost::launcherArguments(const QString& exe, const QStringList& arguments) const {
    return QStringList{sourceFile("scripts/wine-run"), windowsPath(exe)} + arguments;
}

void WineHost::addTo(QProcessEnvironment& environment) const {
    environment.insert("WINEPREFIX", build_ + "/wine");
    environment.insert("WINEDEBUG", "-all");
}

QString WineHost::demoProgram() const {
    return build_ + "/tools/demo-program-windows/PelorixDemoProgram.exe";
}

void WineHost::writePayload(const QString& folder, const QStringList& names) const {
    QDir().mkpath(folder);
    const QByteArray program = readAll(demoProgram());
    const QByteArray library =
        readAll(build_ + "/tools/demo-library-windows/PelorixDemoLibrary.dll");
    for (const QString& name : names) {
        if (name.endsWith(".exe", Qt::CaseInsensitive)) {
            writeAll(folder + "/" + name, program);
        } else if (name.endsWith(".dll", Qt::CaseInsensitive)) {
            writeAll(folder + "/" + name, library);
        }
    }
}

void WineHost::writeLibrary(const QString& path, const QByteArray& marker) const {
    writeAll(path, readAll(build_ + "/tools/demo-library-windows/PelorixDemoLibrary.dll") + marker);
}

void WineHost::registerLibraries(const QStringList& hostPaths) const {
    QStringList commands;
    for (const QString& path : hostPaths) {
        commands << "regsvr32 /s " + windowsPath(path);
    }
    QProcess wine;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addTo(environment);
    wine.setProcessEnvironment(environment);
    wine.setProcessChannelMode(QProcess::MergedChannels);
    wine.start("bash", {sourceFile("scripts/wine-run"), "cmd", "/c", commands.join(" && ")});
    require(wine.waitForFinished(60000) && wine.exitCode() == 0,
            "regsvr32 failed: " + QString::fromUtf8(wine.readAll()));
}

// Wine's reg writes a .reg file in UTF-16; each demo class names its library under
// InprocServer32 as its default value.
QStringList WineHost::registeredLibraries(const QString& folder) const {
    QTemporaryDir work;
    const QString file = work.path() + "/classes.reg";
    QProcess wine;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addTo(environment);
    wine.setProcessEnvironment(environment);
    wine.start("bash", {sourceFile("scripts/wine-run"), "reg", "export", "HKEY_CLASSES_ROOT\\CLSID",
                        windowsPath(file), "/y"});
    require(wine.waitForFinished(60000) && wine.exitCode() == 0, "reg export failed");
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    const QString text = decoder.decode(readAll(file));
    static const QRegularExpression server(R"(\\InprocServer32\]\r?\n@="([^"]*)\")",
                                           QRegularExpression::CaseInsensitiveOption);
    const QString prefix = windowsPath(folder).replace("\\", "\\\\") + "\\\\";
    QStringList paths;
    for (const QRegularExpressionMatch& match : server.globalMatch(text)) {
        if (match.captured(1).startsWith(prefix, Qt::CaseInsensitive)) {
            paths << hostPath(match.captured(1).replace("\\\\", "\\"));
        }
    }
    paths.sort();
    return paths;
}

}  // namespace pelorix::e2e
