#include "app/installation.h"
#include "platform/environment.h"

#include <gtest/gtest.h>

#include <map>

namespace pelorix::app {
namespace {

using Field = QString (*)(const Installation&);

struct InstallationCase {
    const char* name;
    std::map<QString, QString> variables;
    Field field;
    QString expected;
};

QString settingsFile(const Installation& i) {
    return i.settingsFile;
}
QString controlDocument(const Installation& i) {
    return i.controlDocument;
}
QString systemFolder(const Installation& i) {
    return i.systemFolder;
}
QString historyPage(const Installation& i) {
    return i.updateServerBase + " " + i.historyPage;
}
QString odbcDriver(const Installation& i) {
    return i.sqlServerOdbcDriver;
}
QString stopTimeout(const Installation& i) {
    return QString::number(i.limits.stopTimeoutSeconds);
}
QString downloadLimits(const Installation& i) {
    return QString("%1 %2 %3")
        .arg(i.limits.downloadStall.count())
        .arg(i.limits.downloadTotalTime.count())
        .arg(i.limits.downloadMaximumBytes);
}
QString databaseLimits(const Installation& i) {
    return QString("%1 %2")
        .arg(i.limits.database.statementTimeout.count())
        .arg(i.limits.database.connectTimeout.count());
}
QString releaseKey(const Installation& i) {
    return i.limits.releaseKeyPath;
}
QString exitAfterFirstPaint(const Installation& i) {
    return i.exitAfterFirstPaint ? "exit" : "stay";
}

class InstallationFromEnvironment : public ::testing::TestWithParam<InstallationCase> {};

TEST_P(InstallationFromEnvironment, GivesTheValue) {
    const Installation installation =
        installationFrom(platform::Environment(GetParam().variables), "-local");
    EXPECT_EQ(GetParam().field(installation).toStdString(), GetParam().expected.toStdString());
    EXPECT_EQ(installation.commandLine, "-local");
}

const InstallationCase kCases[] = {
    {"SettingsFileByDefault", {}, settingsFile, "/var/lib/Pelorix/Pelorix.ini"},
    {"SettingsFileInCommonAppData",
     {{"PELORIX_COMMON_APPDATA", "/srv/data"}},
     settingsFile,
     "/srv/data/Pelorix/Pelorix.ini"},
    {"FailedLookupPutsSettingsAtTheRoot",
     {{"PELORIX_COMMON_APPDATA", ""}},
     settingsFile,
     "/Pelorix/Pelorix.ini"},
    {"ControlDocumentByDefault", {}, controlDocument, "/var/lib/OrvaneTrellisService/OTRS.xml"},
    {"ControlDocumentInCommonAppData",
     {{"PELORIX_COMMON_APPDATA", "/srv/data"}},
     controlDocument,
     "/srv/data/OrvaneTrellisService/OTRS.xml"},
    {"FailedLookupPutsControlDocumentAtTheRoot",
     {{"PELORIX_COMMON_APPDATA", ""}},
     controlDocument,
     "/OrvaneTrellisService/OTRS.xml"},
    {"SystemFolderByDefault", {}, systemFolder, "/usr/local/lib"},
    {"SystemFolderNamed", {{"PELORIX_SYSTEM_FOLDER", "/srv/system"}}, systemFolder, "/srv/system"},
    {"SystemFolderLookupFailed", {{"PELORIX_SYSTEM_FOLDER", ""}}, systemFolder, ""},
    {"UpdateServerByDefault",
     {},
     historyPage,
     "http://updates.pelorix.example/Updater "
     "http://updates.pelorix.example/sources/PX_History.txt"},
    {"UpdateServerMirror",
     {{"PELORIX_UPDATE_SERVER", "http://mirror:81/px/Updater/"}},
     historyPage,
     "http://mirror:81/px/Updater http://mirror:81/sources/PX_History.txt"},
    {"OdbcDriverByDefault", {{"PELORIX_ODBC_DRIVER", " "}}, odbcDriver, "FreeTDS"},
    {"OdbcDriverNamed",
     {{"PELORIX_ODBC_DRIVER", " ODBC Driver 18 for SQL Server "}},
     odbcDriver,
     "ODBC Driver 18 for SQL Server"},
    {"StopTimeoutByDefault", {}, stopTimeout, "8"},
    {"StopTimeoutShortened", {{"PELORIX_STOP_TIMEOUT_SECONDS", "2"}}, stopTimeout, "2"},
    {"StopTimeoutInHexadecimal", {{"PELORIX_STOP_TIMEOUT_SECONDS", "0x10"}}, stopTimeout, "16"},
    {"StopTimeoutZeroIgnored", {{"PELORIX_STOP_TIMEOUT_SECONDS", "0"}}, stopTimeout, "8"},
    {"StopTimeoutNegativeIgnored", {{"PELORIX_STOP_TIMEOUT_SECONDS", "-3"}}, stopTimeout, "8"},
    {"StopTimeoutTextIgnored", {{"PELORIX_STOP_TIMEOUT_SECONDS", "soon"}}, stopTimeout, "8"},
    {"DownloadLimitsByDefault", {}, downloadLimits, "10 1800 268435456"},
    {"DownloadLimitsShortened",
     {{"PELORIX_DOWNLOAD_STALL_SECONDS", "1"},
      {"PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS", "5"},
      {"PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", "4096"}},
     downloadLimits,
     "1 5 4096"},
    {"DownloadSizeNotANumberIgnored",
     {{"PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", "4k"}},
     downloadLimits,
     "10 1800 268435456"},
    {"DatabaseLimitsByDefault", {}, databaseLimits, "30 5"},
    {"DatabaseLimitsShortened",
     {{"PELORIX_DB_STATEMENT_TIMEOUT_SECONDS", "3"}, {"PELORIX_DB_CONNECT_TIMEOUT_SECONDS", "1"}},
     databaseLimits,
     "3 1"},
    {"NoReleaseKeyByDefault", {}, releaseKey, ""},
    {"ReleaseKeyNamed",
     {{"PELORIX_RELEASE_KEY", "/etc/keys/px.pub"}},
     releaseKey,
     "/etc/keys/px.pub"},
    {"WindowStaysByDefault", {}, exitAfterFirstPaint, "stay"},
    {"WindowExitsAfterFirstPaintWhenSet",
     {{"PELORIX_EXIT_AFTER_FIRST_PAINT", ""}},
     exitAfterFirstPaint,
     "exit"},
};

INSTANTIATE_TEST_SUITE_P(Variables, InstallationFromEnvironment, ::testing::ValuesIn(kCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::app
