// Signed releases: with a trusted minisign key beside the updater (or named by
// PELORIX_RELEASE_KEY) only a release whose checksum list is signed by that key, not older than
// the last one accepted, and whose files match the list is installed. Anything else ends the run
// with the download message and status 7, every installed file as it was.

#include "e2e_fixture.h"
#include "old_installation.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <functional>
#include <ostream>

namespace pelorix::e2e {
namespace {

// Runs a program of the machine (minisign, sha256sum) to its end; its standard output.
QByteArray runProgram(const QString& program, const QStringList& arguments,
                      const QString& folder = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    const bool done = process.waitForFinished(30000);
    EXPECT_TRUE(done && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
}

class E2eSignedRelease : public EndToEnd {
  public:
    // For the cases of the parameterised test.
    using EndToEnd::expectCompleteUpdate;
    using EndToEnd::sandbox;
    using EndToEnd::unattended;

    QString releaseFolder() const { return sandbox.path("release/Updater"); }
    // The demo key pair that write-release made for the sandbox's release.
    QString demoKey(const QString& extension) const {
        return sandbox.path("release/key/PelorixUpdater." + extension);
    }
    void trustKey(const QString& publicKey) {
        ASSERT_TRUE(QFile::copy(publicKey, sandbox.updaterFolder() + "/PelorixUpdater.pub"));
    }
    // A fresh key pair made by minisign itself, without a password; the folder holding it.
    QString makeMinisignKey(const QString& name) {
        const QString folder = sandbox.path(name);
        QDir().mkpath(folder);
        runProgram("minisign", {"-G", "-W", "-p", folder + "/key.pub", "-s", folder + "/key.sec"});
        return folder;
    }
    // Signs the checksum list again with minisign, as a publisher would.
    void signList(const QString& secretKey, const QStringList& more = {}) {
        runProgram(
            "minisign",
            QStringList{"-S", "-s", secretKey, "-m", releaseFolder() + "/SHA256SUMS"} + more);
    }
    // The files of the installation, the temporary names left by a failed download aside.
    QMap<QString, QByteArray> installedFiles() const {
        QMap<QString, QByteArray> files = fileContents(sandbox.appFolder());
        for (const QString& temporary : temporaryFileNames()) {
            files.remove(temporary);
        }
        const auto libraries = fileContents(sandbox.systemFolder());
        for (auto library = libraries.cbegin(); library != libraries.cend(); ++library) {
            files.insert("system/" + library.key(), library.value());
        }
        return files;
    }
};

TEST_F(E2eSignedRelease, AReleaseSignedWithTheRealMinisignIsVerifiedAndInstalled) {
    const QString key = makeMinisignKey("publisher");
    QStringList names;
    for (const QString& name : release.keys()) {
        names << name;
    }
    writeFile(releaseFolder() + "/SHA256SUMS", runProgram("sha256sum", names, releaseFolder()));
    signList(key + "/key.sec");
    trustKey(key + "/key.pub");

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);

    // The first entry after the run's header and the line of the sandbox's shortened waits.
    const QString verified = sandbox.debugLogMessages().value(4);
    EXPECT_TRUE(verified.startsWith("Release checksum list verified with key " +
                                    sandbox.updaterFolder() + "/PelorixUpdater.pub"))
        << verified.toStdString();
    EXPECT_TRUE(QFile::exists(sandbox.path("appdata/Pelorix/PelorixUpdater_AcceptedRelease.txt")));
}

// An installed file that already is the listed one is taken from the installation; a copy that
// differs by one byte is fetched.
TEST_F(E2eSignedRelease, InstalledFilesThatAreTheListedOnesAreNotFetchedAgain) {
    trustKey(demoKey("pub"));
    for (const QString name : {"Reports.exe", "PXHelp.chm"}) {
        writeFile(sandbox.appFolder() + "/" + name, release.value(name));
    }
    writeFile(sandbox.systemFolder() + "/TobrinDLL.dll", release.value("TobrinDLL.dll"));
    writeFile(sandbox.appFolder() + "/Sorvand.exe", release.value("Sorvand.exe") + "x");
    sandbox.startRequestLoggingUpdateServer();

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);

    const QStringList requested = sandbox.requestedFiles();
    for (const QString name : {"Reports.exe", "PXHelp.chm", "TobrinDLL.dll"}) {
        EXPECT_FALSE(requested.contains(name)) << name.toStdString();
        EXPECT_EQ(sandbox.debugLogMessages().filter(name + " is unchanged: taken from ").size(), 1);
    }
    EXPECT_TRUE(requested.contains("Sorvand.exe"));
    EXPECT_EQ(requested.size(), 2 + 16 - 3) << requested.join(' ').toStdString();
}

// In local mode the list and its signature are read where they lie and stay there.
TEST_F(E2eSignedRelease, ALocalReleaseFolderIsVerifiedAndItsListStaysInPlace) {
    const QString offline = sandbox.path("offline");
    ASSERT_TRUE(QDir().mkpath(offline));
    for (const QString& name : QDir(releaseFolder()).entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(releaseFolder() + "/" + name, offline + "/" + name));
    }
    trustKey(demoKey("pub"));
    sandbox.setUpdateServer("http://127.0.0.1:1/Updater");  // nothing answers there

    expectCompleteUpdate(sandbox.run(unattended({"-" + offline})), Texts::German, 1, 15, 1);

    EXPECT_EQ(readFile(offline + "/SHA256SUMS"), readFile(releaseFolder() + "/SHA256SUMS"));
    EXPECT_EQ(readFile(offline + "/SHA256SUMS.minisig"),
              readFile(releaseFolder() + "/SHA256SUMS.minisig"));
}

// How a case spoils the release (or the key) before the run.
struct RefusedRelease {
    const char* name;
    std::function<void(E2eSignedRelease&)> prepare;
    int failedStep;      // the download step whose line stays open; -1: refused before any step
    const char* logged;  // part of the debug log's last entry
};

void PrintTo(const RefusedRelease& refused, std::ostream* out) {
    *out << refused.name;
}

class E2eRefusedRelease : public E2eSignedRelease,
                          public ::testing::WithParamInterface<RefusedRelease> {};

TEST_P(E2eRefusedRelease, EndsWithTheDownloadMessageAndChangesNoInstalledFile) {
    trustKey(demoKey("pub"));
    GetParam().prepare(*this);
    const QMap<QString, QByteArray> before = installedFiles();

    const RunResult run = sandbox.run(unattended());

    ASSERT_TRUE(run.finished);
    const int step = GetParam().failedStep;
    EXPECT_EQ(run.out,
              step < 0 ? QString()
                       : shutdownOutput(Texts::German) + migrationOutput(Texts::German, 1, 15, 1) +
                             downloadOutput(Texts::German, step) + downloadSteps().at(step));
    // The download message, then the reason after an empty line.
    const QString message = downloadErrorMessage(Texts::German);
    EXPECT_TRUE(run.err.startsWith(confirmationMessage(Texts::German) + message.chopped(1) +
                                   "\nRelease refused: "))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(GetParam().logged)) << run.err.toStdString();
    EXPECT_EQ(run.exitStatus, 7);
    EXPECT_TRUE(installedFiles() == before) << "an installed file changed";
    EXPECT_TRUE(sandbox.debugLogMessages().last().contains(GetParam().logged))
        << sandbox.debugLogMessages().last().toStdString();
}

void appendTo(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, E2eRefusedRelease,
    ::testing::Values(
        RefusedRelease{"TamperedFile",
                       [](E2eSignedRelease& test) {
                           appendTo(test.releaseFolder() + "/Reports.exe", "\necho owned\n");
                       },
                       8, "the SHA-256 of Reports.exe is"},
        RefusedRelease{"SignedByAnotherKey",
                       [](E2eSignedRelease& test) {
                           // The key named in the environment wins over the one beside the updater.
                           test.sandbox.setEnvironment("PELORIX_RELEASE_KEY",
                                                       test.makeMinisignKey("other") + "/key.pub");
                       },
                       -1, "not by the trusted key"},
        RefusedRelease{"SignatureMissing",
                       [](E2eSignedRelease& test) {
                           QFile::remove(test.releaseFolder() + "/SHA256SUMS.minisig");
                       },
                       -1, "no signature: "},
        RefusedRelease{"FileNotListed",
                       [](E2eSignedRelease& test) {
                           const QString list = test.releaseFolder() + "/SHA256SUMS";
                           QByteArray lines = readFile(list);
                           QList<QByteArray> kept;
                           for (const QByteArray& line : lines.split('\n')) {
                               if (!line.endsWith("  Language.ini")) {
                                   kept << line;
                               }
                           }
                           writeFile(list, kept.join('\n'));
                           test.signList(test.demoKey("key"));
                       },
                       -1, "SHA256SUMS: Language.ini is not listed"},
        RefusedRelease{"WrongCaseName",
                       [](E2eSignedRelease& test) {
                           const QString list = test.releaseFolder() + "/SHA256SUMS";
                           writeFile(list,
                                     readFile(list).replace("  Reports.exe", "  reports.exe"));
                           test.signList(test.demoKey("key"));
                       },
                       -1, "reports.exe is listed under another case than Reports.exe"},
        RefusedRelease{"MalformedLine",
                       [](E2eSignedRelease& test) {
                           appendTo(test.releaseFolder() + "/SHA256SUMS", "not a checksum\n");
                           test.signList(test.demoKey("key"));
                       },
                       -1, "line 17 is not a checksum line"},
        RefusedRelease{"ExpiredLongAgo",
                       [](E2eSignedRelease& test) {
                           // Signed in 2001, valid for a year: a mirror holding a machine back.
                           test.signList(test.demoKey("key"),
                                         {"-t", "timestamp:1000000000\texpires:1031536000"});
                       },
                       -1, "the list expired at 2002-09-09T01:46:40Z"},
        RefusedRelease{"OlderThanTheLastAccepted",
                       [](E2eSignedRelease& test) {
                           test.expectCompleteUpdate(test.sandbox.run(test.unattended()),
                                                     Texts::German, 1, 15, 1);
                           // The same release signed long ago: a replay.
                           test.signList(test.demoKey("key"),
                                         {"-t", "timestamp:1000\tfile:SHA256SUMS\thashed"});
                       },
                       -1, "older (timestamp 1000) than the last one accepted"},
        RefusedRelease{"TrustedCommentWithoutTimestamp",
                       [](E2eSignedRelease& test) {
                           test.signList(test.demoKey("key"), {"-t", "release 6.15"});
                       },
                       -1, "carries no timestamp"}),
    [](const ::testing::TestParamInfo<RefusedRelease>& testCase) { return testCase.param.name; });

// A key file that is no minisign public key is a fault of the machine: the general failure
// exit before anything changes, never an unverified update.
TEST_F(E2eSignedRelease, AnUnreadableKeyIsAGeneralFailure) {
    writeFile(sandbox.updaterFolder() + "/PelorixUpdater.pub", "-----BEGIN PUBLIC KEY-----\n");
    const QMap<QString, QByteArray> before = installedFiles();

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(installedFiles() == before);
    EXPECT_TRUE(sandbox.debugLogMessages().last().contains("is unusable"));
}

}  // namespace
}  // namespace pelorix::e2e
