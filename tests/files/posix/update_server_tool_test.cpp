#include "app/release/components.h"
#include "files/downloader.h"
#include "i18n/built_in_texts.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "platform/profile.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <memory>

namespace pelorix::test {
namespace {

using namespace std::chrono_literals;

// The connection and the stall limit shortened so that failures come quickly.
platform::HttpLimits quickLimits(std::chrono::milliseconds limit) {
    platform::HttpLimits limits;
    limits.connectTimeout = limit;
    limits.stallTimeout = limit;
    return limits;
}

const QString kServerTool = "update-server/pelorix-update-server";

// The stand-in update server as its own process, over a demo release it wrote itself.
class UpdateServerTool : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(toolPath(kServerTool)))
            << "build the target pelorix-update-server first: "
            << toolPath(kServerTool).toStdString();
    }

    void TearDown() override {
        if (server_) {
            server_->terminate();  // SIGTERM: the server ends cleanly
            EXPECT_TRUE(server_->waitForFinished(5000));
            EXPECT_EQ(server_->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(server_->exitCode(), 0);
        }
    }

    int run(const QStringList& arguments) {
        QProcess process;
        process.start(toolPath(kServerTool), arguments);
        process.waitForFinished(10000);
        return process.exitCode();
    }

    // Starts the server and answers its base address "http://127.0.0.1:PORT".
    QString serve(const QStringList& options) {
        server_ = std::make_unique<QProcess>();
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_->start(toolPath(kServerTool),
                       QStringList{"serve", "--root", release, "--quiet"} + options);
        if (!server_->waitForReadyRead(5000)) {
            return {};
        }
        const QString line = QString::fromUtf8(server_->readLine()).trimmed();
        return line.startsWith("listening on ") ? line.mid(13) : QString();
    }

    bool download(const QString& address, const QString& name, qint32 minimumSize) {
        files::Downloader downloader("", dir.path(), platform::defaultFileSystem(),
                                     platform::defaultHttpClient(), quickLimits(500ms));
        return downloader.DownloadFile(address + "/Updater", name, dir.file("target"), minimumSize);
    }

    TempDir dir;
    QString release = dir.file("release");

  private:
    std::unique_ptr<QProcess> server_;
};

TEST_F(UpdateServerTool, WritesAReleaseThatPassesTheSizeChecks) {
    ASSERT_EQ(run({"write-release", release, "--timestamp", "1000", "--expires-days", "2"}), 0);
    EXPECT_TRUE(
        dir.read("release/Updater/SHA256SUMS.minisig")
            .contains("\ntrusted comment: timestamp:1000\texpires:173800\tfile:SHA256SUMS"));

    for (const app::ReleaseComponent& component : app::kReleaseComponents) {
        const QFileInfo file(release + "/Updater/" + component.fileName.toString());
        ASSERT_TRUE(file.exists()) << file.filePath().toStdString();
        EXPECT_GT(file.size(), qint64{component.minimumSize} * 1000);
        EXPECT_LT(file.size(), qint64{component.minimumSize} * 1000 + 20'000);
    }
    const QString language = release + "/Updater/Language.ini";
    EXPECT_EQ(platform::ReadIni(platform::defaultFileSystem(), language, "LanguageSettings",
                                "SupportedLanguages", "-"),
              "DE,EN");
    EXPECT_EQ(
        platform::ReadIni(platform::defaultFileSystem(), language, "Update ausführen", "EN", "-"),
        "Run update");
    for (const i18n::BuiltInText& added : i18n::kBuiltInTexts) {
        const QString german = added.german.toString();
        EXPECT_EQ(platform::ReadIni(platform::defaultFileSystem(), language, german, "DE", "-"),
                  german);
        EXPECT_EQ(platform::ReadIni(platform::defaultFileSystem(), language, german, "EN", "-"),
                  added.english.toString());
    }
    EXPECT_TRUE(QFile::exists(release + "/sources/PX_History.txt"));
}

// Real programs and libraries go in unchanged, lengthened with zeros to the size the updater
// wants; the list signs them as they are served.
TEST_F(UpdateServerTool, TakesPayloadFilesAsTheyAreLengthenedToTheirSize) {
    const QByteArray library = "MZ library image";
    const QByteArray large(200'000, 'x');
    dir.write("payload/braskDLL.dll", library);
    dir.write("payload/Pelorix.exe", large);
    ASSERT_EQ(run({"write-release", release, "--payload-folder", dir.file("payload")}), 0);

    const QByteArray served = dir.read("release/Updater/braskDLL.dll");
    EXPECT_EQ(served.size(), 65'000);
    EXPECT_TRUE(served.startsWith(library));
    EXPECT_EQ(served.mid(library.size()), QByteArray(served.size() - library.size(), '\0'));
    const QByteArray program = dir.read("release/Updater/Pelorix.exe");
    EXPECT_EQ(program.size(), 1'405'000);
    EXPECT_TRUE(program.startsWith(large));
    EXPECT_TRUE(
        dir.read("release/Updater/SHA256SUMS")
            .contains(QCryptographicHash::hash(served, QCryptographicHash::Sha256).toHex()));
}

TEST_F(UpdateServerTool, ShipsAGivenLanguageFileInWindows1252) {
    const QString source = dir.write("language.ini",
                                     "[LanguageSettings]\nSupportedLanguages=DE,EN,FR\n"
                                     "[Lade neue Sprachdatei ...]\nEN=Loading the language file …\n"
                                     "DE=Lade neue Sprachdatei für Sie ...\n");
    ASSERT_EQ(run({"write-release", release, "--language-source", source}), 0);

    const QString language = release + "/Updater/Language.ini";
    EXPECT_EQ(platform::ReadIni(platform::defaultFileSystem(), language, "LanguageSettings",
                                "SupportedLanguages", "-"),
              "DE,EN,FR");
    EXPECT_EQ(platform::ReadIni(platform::defaultFileSystem(), language,
                                "Lade neue Sprachdatei ...", "DE", "-"),
              "Lade neue Sprachdatei für Sie ...");
    QFile file(language);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("f\xfcr Sie"));     // ü in Windows-1252
    EXPECT_TRUE(bytes.contains("file \x85\r\n"));  // … in Windows-1252
    EXPECT_GE(bytes.size(), 85'001);

    EXPECT_EQ(run({"write-release", dir.file("other"), "--language-source", dir.file("none")}), 1);
    const QString noSettings = dir.write("plain.ini", "[Other]\nDE=x\n");
    EXPECT_EQ(run({"write-release", dir.file("other"), "--language-source", noSettings}), 1);
}

TEST_F(UpdateServerTool, ServesTheReleaseAndTheHistoryPage) {
    ASSERT_EQ(run({"write-release", release}), 0);
    const QString address = serve({});
    ASSERT_FALSE(address.isEmpty());

    for (const app::ReleaseComponent& component : app::kReleaseComponents) {
        EXPECT_TRUE(download(address, component.fileName.toString(), component.minimumSize))
            << component.fileName.toString().toStdString();
    }
    EXPECT_EQ(dir.read("target"), dir.read("release/Updater/Language.ini"));
    EXPECT_FALSE(download(address, "Missing.exe", 0));

    QByteArray history;
    const platform::HttpResult page = platform::defaultHttpClient().get(
        address + "/sources/PX_History.txt", {}, [&](const char* data, qint64 size) {
            history.append(data, size);
            return true;
        });
    EXPECT_TRUE(page.ok()) << page.error.toStdString();
    EXPECT_TRUE(platform::decodeAnsi(history).contains("Versionshistorie"));
}

TEST_F(UpdateServerTool, MisbehavesOnRequest) {
    ASSERT_EQ(run({"write-release", release}), 0);
    const QString address = serve(
        {"--status", "Pelorix.exe:500", "--stall", "PXAS.exe:1000", "--close", "Reports.exe:2000",
         "--status", "PelorixService.exe:302", "--status", "NotInTheRelease.exe:200"});
    ASSERT_FALSE(address.isEmpty());

    EXPECT_FALSE(download(address, "Pelorix.exe", 0));
    EXPECT_FALSE(download(address, "PelorixService.exe", 0));
    EXPECT_FALSE(download(address, "PXAS.exe", 0));
    EXPECT_EQ(dir.read("target").size(), 1000);
    EXPECT_FALSE(download(address, "Reports.exe", 0));
    EXPECT_EQ(dir.read("target").size(), 2000);
    EXPECT_TRUE(download(address, "Sorvand.exe", 130));
    // A forced status applies to files that are not there, too: an error page of 200.
    EXPECT_TRUE(download(address, "NotInTheRelease.exe", 0));
}

TEST_F(UpdateServerTool, RefusesBadCommandLines) {
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"start"}), 2);
    EXPECT_EQ(run({"serve"}), 2);
    EXPECT_EQ(run({"serve", "--root", release, "--port", "70000"}), 2);
    EXPECT_EQ(run({"serve", "--root", release, "--stall", "PXAS.exe"}), 2);
    EXPECT_EQ(run({"serve", "--root", release, "--status", "PXAS.exe:42"}), 2);
    EXPECT_EQ(run({"serve", "--root", release, "--fast"}), 2);
    EXPECT_EQ(run({"write-release"}), 2);
    EXPECT_EQ(run({"write-release", release, "--language"}), 2);
    EXPECT_EQ(run({"write-release", release, "--expires-days", "0"}), 2);
    EXPECT_EQ(run({"write-release", release, "--expires-days", "soon"}), 2);
}

}  // namespace
}  // namespace pelorix::test
