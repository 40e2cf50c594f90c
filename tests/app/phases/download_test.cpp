#include "app/phases/download.h"
#include "app/program/update_server.h"
#include "app/release/components.h"
#include "app/update_harness.h"
#include "platform/environment.h"
#include "support/forwarding_file_system.h"
#include "support/http_test_server.h"

#include <gtest/gtest.h>
#include <QFile>

#include <map>

namespace pelorix::app {
namespace {

// No language file: every translated text comes back with "!".
const QString kDownloadError =
    "Fehler beim Download. Der Vorgang wird abgebrochen.!\r"
    "Bitte prüfen Sie Ihre Verbindung zum Internet und Ihre Einstellungen der Firewall.!\r\r"
    "Sie können bei Orvane auch ein Offline-Update erhalten.!";

QByteArray releaseFile(const ReleaseComponent& component, qint64 extra = 1) {
    QByteArray body = component.fileName.toString().toLatin1() + " ";
    body.append(QByteArray(qint64{component.minimumSize} * 1000 + extra - body.size(), 'x'));
    return body;
}

class ComponentDownload : public ::testing::Test {
  protected:
    ComponentDownload() {
        harness.updateServerBase = server.base();
        harness.form.progressMaximum = 71;
        harness.ui.mousePointer = MousePointer::Wait;
        harness.dir.write("app/PelorixService.exe", "installed service");
    }

    void serveRelease() {
        for (const ReleaseComponent& component : kReleaseComponents) {
            server.serveFile(component.fileName.toString(), releaseFile(component));
        }
    }

    QStringList statusLines() const { return harness.form.statusText.split("\r\n"); }

    test::HttpTestServer server;
    test::UpdateHarness harness;
};

TEST_F(ComponentDownload, AMissingFirstFileEndsTheRunWithTheDownloadMessage) {
    serveRelease();
    server.serve("/Updater/PelorixService.exe", "<html>Not Found</html>", 404);
    harness.form.updateLog = true;

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::DownloadError);

    EXPECT_EQ(harness.form.statusText.toStdString(), "Lade neuen PX-Dienst ...!");  // left open
    EXPECT_EQ(harness.form.progressValue, 1);
    ASSERT_EQ(harness.ui.messages.size(), 1u);
    EXPECT_EQ(harness.ui.messages[0].text, kDownloadError);
    EXPECT_EQ(harness.ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(harness.ui.mousePointer, MousePointer::Default);
    EXPECT_EQ(server.requests(), QStringList{"/Updater/PelorixService.exe"});
    EXPECT_EQ(harness.dir.read("app/PelorixService.exe"), QByteArray("installed service"));
    // The trace names the file and the reason; the status line was logged as shown.
    const QString log = harness.debugLogText();
    EXPECT_TRUE(log.contains("Download of PelorixService.exe failed: ")) << log.toStdString();
    EXPECT_TRUE(log.contains("HTTP status 404"));
    EXPECT_TRUE(log.contains("> Lade neuen PX-Dienst ...!"));
}

TEST_F(ComponentDownload, ABodyOfExactlyTheMinimumStopsAtItsRow) {
    serveRelease();
    server.serveFile("Pelorix.exe", QByteArray(1'400'000, 'p'));

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::DownloadError);

    const QStringList lines = statusLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].toStdString(), "Lade neuen PX-Dienst ...!............ OK");
    EXPECT_TRUE(lines[2].endsWith(" OK"));
    EXPECT_EQ(lines[3].toStdString(), "Lade neuen Pelorix ...!");
    EXPECT_EQ(harness.form.progressValue, 7);
    EXPECT_EQ(server.requests().size(), 4);
    EXPECT_EQ(harness.ui.messages.size(), 1u);
}

TEST_F(ComponentDownload, AllSixteenFilesArriveUnderTheirTemporaryNames) {
    serveRelease();
    harness.form.progressValue = 20;

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::Continue);

    const QStringList lines = statusLines();
    ASSERT_EQ(lines.size(), 17);  // sixteen closed lines and the empty rest
    QStringList expectedRequests;
    for (size_t row = 0; row < kReleaseComponents.size(); ++row) {
        const ReleaseComponent& component = kReleaseComponents[row];
        EXPECT_TRUE(lines[row].startsWith(component.statusText.toString() + "!"));
        EXPECT_TRUE(lines[row].endsWith(" OK")) << lines[row].toStdString();
        const QString temporary = component.temporaryPath(harness.settings.appPath);
        QFile file(temporary);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << temporary.toStdString();
        EXPECT_EQ(file.readAll(), releaseFile(component)) << temporary.toStdString();
        expectedRequests << "/Updater/" + component.fileName.toString();
    }
    EXPECT_EQ(harness.form.progressValue, 20 + 32);
    EXPECT_EQ(server.requests(), expectedRequests);
    EXPECT_TRUE(harness.ui.messages.empty());
    EXPECT_EQ(harness.dir.read("app/PelorixService.exe"), QByteArray("installed service"));
    EXPECT_TRUE(QFile::exists(harness.dir.file("app/PXS.exe")));
    EXPECT_TRUE(QFile::exists(harness.dir.file("app/Language.tmp")));
}

TEST_F(ComponentDownload, LocalModeCopiesTheFilesFromTheUpdatersFolder) {
    for (const ReleaseComponent& component : kReleaseComponents) {
        harness.dir.write("updater/" + component.fileName.toString(), "local copy");
    }
    harness.form.commandLine = "-local";

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::Continue);

    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(harness.form.statusText.count(" OK\r\n"), 16);
    for (const ReleaseComponent& component : kReleaseComponents) {
        EXPECT_EQ(harness.dir.read("app" + component.temporaryName.toString()), "local copy");
        EXPECT_TRUE(QFile::exists(harness.dir.file("updater/" + component.fileName.toString())));
    }
}

TEST_F(ComponentDownload, ALocalFolderWithoutTheLastFileStopsAtIt) {
    for (const ReleaseComponent& component : kReleaseComponents) {
        if (component.fileName != u"Language.ini") {
            harness.dir.write("release/" + component.fileName.toString(), "local copy");
        }
    }
    harness.form.commandLine = "-" + harness.dir.file("release");

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::DownloadError);

    EXPECT_EQ(harness.form.statusText.count(" OK\r\n"), 15);
    EXPECT_TRUE(harness.form.statusText.endsWith("Lade neue Sprachdatei ...!"));
    EXPECT_EQ(harness.ui.messages.size(), 1u);
}

// The address of the update server, with and without $PELORIX_UPDATE_SERVER.
QString serverBaseWith(std::map<QString, QString> variables) {
    return updateServerBase(platform::Environment(std::move(variables)));
}

TEST(UpdateServerAddress, IsTheProgramsOwnUnlessOverridden) {
    EXPECT_EQ(serverBaseWith({}).toStdString(), "http://updates.pelorix.example/Updater");
    EXPECT_EQ(historyPageAddress(serverBaseWith({})).toStdString(),
              "http://updates.pelorix.example/sources/PX_History.txt");

    // set but empty: no override
    EXPECT_EQ(serverBaseWith({{"PELORIX_UPDATE_SERVER", ""}}).toStdString(),
              "http://updates.pelorix.example/Updater");
}

TEST(UpdateServerAddress, AnOverrideMovesTheHistoryPageAlong) {
    const QString mirror =
        serverBaseWith({{"PELORIX_UPDATE_SERVER", "http://127.0.0.1:8123/mirror/Updater/"}});
    EXPECT_EQ(mirror.toStdString(), "http://127.0.0.1:8123/mirror/Updater");
    EXPECT_EQ(historyPageAddress(mirror).toStdString(),
              "http://127.0.0.1:8123/sources/PX_History.txt");

    const QString nonsense = serverBaseWith({{"PELORIX_UPDATE_SERVER", "not an address"}});
    EXPECT_EQ(nonsense.toStdString(), "not an address");
    EXPECT_EQ(historyPageAddress(nonsense).toStdString(),
              "http://updates.pelorix.example/sources/PX_History.txt");
}

// Refuses every change and notes the paths it was asked to write, so that a fault cannot reach
// the root folder of the machine.
class ChangesRefused : public test::ForwardingFileSystem {
  public:
    platform::Outcome deleteFile(const QString& path) override { return refuse(path); }
    platform::Outcome moveFile(const QString& from, const QString&) override {
        return refuse(from);
    }
    std::unique_ptr<platform::FileWriter> createFile(const QString& path) override {
        static_cast<void>(refuse(path));
        return nullptr;
    }
    QStringList asked;

  private:
    platform::Outcome refuse(const QString& path) {
        asked.append(path);
        return platform::Outcome::failure(QStringLiteral("refused"));
    }
};

struct RootCase {
    const char* appPath;
    const char* systemFolder;
};

class RootFolderRefused : public ComponentDownload,
                          public ::testing::WithParamInterface<RootCase> {};

// A program folder or system folder that is the root (or empty, which joins to paths in the
// root) ends the run before anything is fetched or written.
TEST_P(RootFolderRefused, TakesTheGeneralFailureExitBeforeAnyDownload) {
    serveRelease();
    ChangesRefused files;
    harness.files = &files;
    if (*GetParam().appPath != '-') {
        harness.settings.appPath = GetParam().appPath;
    }
    if (*GetParam().systemFolder != '-') {
        harness.form.systemFolder = GetParam().systemFolder;
    }

    EXPECT_EQ(runComponentDownload(harness.context()), RunOutcome::GeneralFailure);

    EXPECT_EQ(files.asked, QStringList{});
    EXPECT_EQ(server.requests(), QStringList{});
    EXPECT_EQ(harness.form.statusText, "");
}

// "-" keeps the harness's own folder.
INSTANTIATE_TEST_SUITE_P(Folders, RootFolderRefused,
                         ::testing::Values(RootCase{"/", "-"}, RootCase{"", "-"},
                                           RootCase{"/usr/..", "-"}, RootCase{"-", ""},
                                           RootCase{"-", "//"}));

}  // namespace
}  // namespace pelorix::app
