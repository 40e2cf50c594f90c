#include "app/phases/registrar.h"

#include "app/phases/install.h"
#include "app/replacement_scene.h"
#include "app/run/outcome.h"
#include "platform/package_places.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>

#include <memory>
#include <vector>

namespace pelorix::test {
namespace {

// Looked up as the installed updater in `ownFolder` looks it up.
QString registrarFor(const QString& ownFolder) {
    return app::findRegistrar(platform::packagePlaces(ownFolder).privateProgramFolder, ownFolder);
}

QString writeProgram(const TempDir& dir, const QString& relative, bool executable) {
    const QString path = dir.write(relative, "#!/bin/sh\nexit 0\n");
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        permissions |= QFile::ExeOwner;
    }
    QFile::setPermissions(path, permissions);
    return path;
}

// Wine's regsvr32, on the search path and beside the packaged updater in /usr/bin, must not be
// taken for the package's own.
TEST(FindRegistrar, ThePrivateFolderThenBesideTheUpdaterThenTheSearchPath) {
    TempDir dir;
    const QString onPath = writeProgram(dir, "wine/regsvr32", true);
    const QString inPrivateFolder = writeProgram(dir, "usr/lib/pelorix-updater/regsvr32", true);
    const QString beside = writeProgram(dir, "usr/bin/regsvr32", true);
    ScopedEnv path("PATH", dir.file("wine").toLocal8Bit());

    EXPECT_EQ(registrarFor(dir.file("usr/bin")), inPrivateFolder);
    QFile::remove(inPrivateFolder);
    EXPECT_EQ(registrarFor(dir.file("usr/bin")), beside);
    QFile::remove(beside);
    EXPECT_EQ(registrarFor(dir.file("usr/bin")), onPath);
}

// An installed updater is started without the registrar's folder on the search path.
TEST(FindRegistrar, FallsBackToTheOneBesideTheUpdater) {
    TempDir dir;
    const QString beside = writeProgram(dir, "updater/regsvr32", true);
    ScopedEnv path("PATH", dir.file("bin").toLocal8Bit());

    EXPECT_EQ(registrarFor(dir.file("updater")), beside);
}

TEST(FindRegistrar, BareNameWhenThereIsNoRunnableRegistrar) {
    TempDir dir;
    writeProgram(dir, "updater/regsvr32", false);
    ScopedEnv path("PATH", dir.file("bin").toLocal8Bit());

    EXPECT_EQ(registrarFor(dir.file("updater")), "regsvr32");
    EXPECT_EQ(registrarFor(""), "regsvr32");
}

// Starts real processes and keeps them, so that a test can wait for them as the updater's
// two seconds would.
class ProcessStarter : public platform::ProgramStarter {
  public:
    platform::Outcome start(const QStringList& argv) override {
        auto process = std::make_unique<QProcess>();
        process->start(argv[0], argv.mid(1));
        const bool started = process->waitForStarted(5000);
        const QString error = process->errorString();
        processes.push_back(std::move(process));
        return started ? platform::Outcome::success() : platform::Outcome::failure(error);
    }
    platform::Fallible<int> runToEnd(const QStringList& argv) override {
        if (const platform::Outcome started = start(argv); !started) {
            return started;
        }
        if (!processes.back()->waitForFinished(10000)) {
            return platform::Outcome::failure(QStringLiteral("did not end"));
        }
        return processes.back()->exitCode();
    }
    void waitForAll() {
        for (const auto& process : processes) {
            process->waitForFinished(10000);
        }
    }
    std::vector<std::unique_ptr<QProcess>> processes;
};

class Registration : public ::testing::TestWithParam<QString> {};

// The whole phase with the real registrar, installed beside the updater and not on the search
// path, and a system folder with a blank in its path, named as on disk or in another case: the
// four new libraries are registered under their paths on disk.
TEST_P(Registration, RealRegistrarBesideTheUpdaterRegistersTheFourLibraries) {
    const QString tool = toolPath("regsvr32/regsvr32");
    ASSERT_TRUE(QFile::exists(tool)) << "build the target regsvr32 first";
    ReplacementScene scene;
    const QString system = scene.harness.dir.mkdir("Windows/system 32");
    scene.harness.form.systemFolder = system;
    ASSERT_TRUE(QFile::copy(tool, scene.harness.ownFolder + "/regsvr32"));
    const QString registry = scene.harness.dir.file("state/com-registry.txt");
    ScopedEnv registryEnv("PELORIX_COM_REGISTRY", registry.toLocal8Bit());
    ScopedEnv path("PATH", scene.harness.dir.file("no-bin").toLocal8Bit());
    scene.writeOldInstallation();
    scene.writeDownloadedFiles();
    scene.harness.form.systemFolder = scene.harness.dir.file(GetParam());
    ProcessStarter starter;
    scene.starter = &starter;
    scene.harness.ui.onProcessEvents = [&] { starter.waitForAll(); };

    ASSERT_EQ(app::runReplacement(scene.context()), app::RunOutcome::Continue);
    starter.waitForAll();

    ASSERT_EQ(starter.processes.size(), 8u);
    for (const auto& process : starter.processes) {
        EXPECT_EQ(process->program(), scene.harness.ownFolder + "/regsvr32");
        EXPECT_EQ(process->exitCode(), 0) << process->arguments().join(' ').toStdString();
    }
    // The four registrars ran at the same time, so their order in the registry is open.
    QStringList registered = readText(registry).split('\n', Qt::SkipEmptyParts);
    registered.sort();
    EXPECT_EQ(registered, QStringList({system + "/MireldaDLL.dll", system + "/Quennel.dll",
                                       system + "/TobrinDLL.dll", system + "/braskDLL.dll"}));
}

INSTANTIATE_TEST_SUITE_P(SystemFolderSpelling, Registration,
                         ::testing::Values("Windows/system 32", "WINDOWS/System 32"));

}  // namespace
}  // namespace pelorix::test
