#include "app/program/startup.h"
#include "app/program/installation.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/special_folders.h"
#include "support/forwarding_file_system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorix::app {
namespace {

// Finds no folder, and notes the folders it is asked to create and creates none.
class RefusedFolders : public test::ForwardingFileSystem {
  public:
    bool entryExists(const QString&) const override { return false; }
    platform::Outcome createFolder(const QString& path) override {
        refused.append(path);
        return platform::Outcome::failure(QStringLiteral("refused"));
    }
    QStringList refused;
};

class StartupTest : public ::testing::Test {
  protected:
    void writeSettings(const QString& text) {
        dir.write("Pelorix/Pelorix.ini", test::cp1252(text));
    }
    Installation installation(const QString& commonAppData, const QString& commandLine = "") {
        return installationFrom(platform::Environment({{"PELORIX_COMMON_APPDATA", commonAppData}}),
                                commandLine);
    }
    void load(const QString& commandLine = "") {
        loadConfiguration(settings, form, installation(dir.path(), commandLine),
                          platform::defaultFileSystem());
    }

    test::TempDir dir;
    ProgramSettings settings;
    FormModel form;
};

TEST_F(StartupTest, DefaultsWithoutSettingsFile) {
    load();
    EXPECT_EQ(settings.settingsFolder, dir.path() + "/Pelorix");
    EXPECT_TRUE(QFileInfo(settings.settingsFolder).isDir());  // created
    EXPECT_EQ(form.connectionString, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.path() +
                                         "/Pelorix/Pelorix.mdb;User Id=admin;Password=;");
    EXPECT_FALSE(form.isSqlServer);
    EXPECT_FALSE(form.updateLog);
    EXPECT_EQ(settings.languageSetting, "EN");
    EXPECT_EQ(settings.learningLanguage, "EN");
    EXPECT_FALSE(form.localLabelVisible);
}

TEST_F(StartupTest, SettingsAreRead) {
    writeSettings(
        "[ServiceSettings]\r\nDataBasePath=/srv/pelorix\r\nAppPath=/opt/pelorix\r\n"
        "[Settings]\r\nUpdateLog=1\r\nLanguage=DEL\r\nLearningLanguage=FR\r\n");
    load("-local");
    EXPECT_EQ(form.dataBasePath, "/srv/pelorix");
    EXPECT_EQ(settings.appPath, "/opt/pelorix");
    EXPECT_EQ(settings.languageFile(), "/opt/pelorix/language.ini");
    EXPECT_TRUE(form.updateLog);
    EXPECT_EQ(settings.languageSetting, "DEL");
    EXPECT_EQ(settings.learningLanguage, "FR");
    EXPECT_EQ(form.commandLine, "-local");
    EXPECT_TRUE(form.localLabelVisible);
}

TEST_F(StartupTest, EmptyDatabasePathGivesRootDataSource) {
    writeSettings("[ServiceSettings]\r\nDataBasePath=\r\n");
    load();
    EXPECT_TRUE(form.connectionString.contains("Data Source=/Pelorix.mdb;"));
}

// An empty program folder would put the installation into the root.
TEST_F(StartupTest, EmptyAppPathIsTheUpdatersOwnFolder) {
    writeSettings("[ServiceSettings]\r\nAppPath=\r\n");
    load();
    EXPECT_EQ(settings.appPath, platform::ownFolder());
}

// Start-up tries to create the folder in the root; the test's file system refuses, so that
// the test writes nothing outside its own folder.
TEST_F(StartupTest, FailedFolderLookupGivesRootSettingsFolder) {
    RefusedFolders files;
    loadConfiguration(settings, form, installation(""), files);
    EXPECT_EQ(settings.settingsFile, "/Pelorix/Pelorix.ini");
    EXPECT_EQ(files.refused, QStringList{"/Pelorix"});
}

TEST(ConnectionStringTest, SqlServerDetection) {
    EXPECT_TRUE(isSqlServerConnection("Provider=SQLOLEDB;Data Source=srv;Initial Catalog=px"));
    EXPECT_TRUE(isSqlServerConnection("Driver={FreeTDS};Server=MySqlHost;Database=px"));
    EXPECT_TRUE(isSqlServerConnection("DSN=pelorix;Database=PXsQl"));
    // Only Jet and ACE are exempt: every other string keeps the plain "sql" test.
    EXPECT_TRUE(isSqlServerConnection("Driver=SQLite3;Database=/data/px.db"));
    // A Jet file in a folder named with SQL is still a Jet file.
    EXPECT_FALSE(isSqlServerConnection(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/SQL-Backup/Pelorix.mdb;User Id=admin;"));
    EXPECT_FALSE(
        isSqlServerConnection("provider=microsoft.ace.oledb.12.0;Data Source=/mysql/x.accdb"));
    // Quoted, as the database layer reads it: it opens these as the embedded file.
    EXPECT_FALSE(isSqlServerConnection(
        "Provider=\"Microsoft.Jet.OLEDB.4.0\";Data Source=/srv/SQL-Backup/Pelorix.mdb"));
    EXPECT_FALSE(isSqlServerConnection(
        "Data Source=/srv/mssql/Pelorix.mdb; Provider = 'Microsoft.ACE.OLEDB.12.0'"));
}

TEST(SettingAsBooleanTest, NumbersWordsAndNonsense) {
    EXPECT_TRUE(settingAsBoolean("1"));
    EXPECT_TRUE(settingAsBoolean("-1"));
    EXPECT_TRUE(settingAsBoolean(" 2 "));
    EXPECT_TRUE(settingAsBoolean("true"));
    EXPECT_TRUE(settingAsBoolean("True"));
    EXPECT_FALSE(settingAsBoolean("0"));
    EXPECT_FALSE(settingAsBoolean("False"));
    EXPECT_FALSE(settingAsBoolean("yes"));
    EXPECT_FALSE(settingAsBoolean(""));
}

TEST(VersionCaptionTest, MajorMinorAndLastFieldWithoutLeadingZeros) {
    EXPECT_EQ(versionCaption(6, 15, 0, 1), "v 6.15.1");
    EXPECT_EQ(versionCaption(7, 0, 3, 12), "v 7.0.12");
}

}  // namespace
}  // namespace pelorix::app
