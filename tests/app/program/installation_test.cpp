#include "app/program/installation.h"
#include "platform/environment.h"
#include "support/os_facts.h"

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

// Each field as text; the folders and the server each with what is derived from them.
QString folders(const Installation& i) {
    return i.settingsFile + " " + i.controlDocument;
}
QString systemFolder(const Installation& i) {
    return i.systemFolder;
}
QString server(const Installation& i) {
    return i.updateServerBase + " " + i.historyPage;
}
QString odbcDriver(const Installation& i) {
    return i.sqlServerOdbcDriver;
}
QString limits(const Installation& i) {
    const UpdateLimits& l = i.limits;
    return QString("%1 %2 %3 %4 %5 %6")
        .arg(l.stopTimeoutSeconds)
        .arg(l.downloadStall.count())
        .arg(l.downloadTotalTime.count())
        .arg(l.downloadMaximumBytes)
        .arg(l.database.statementTimeout.count())
        .arg(l.database.connectTimeout.count());
}
QString waitPercent(const Installation& i) {
    return QString::number(i.limits.waitPercent);
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

const QString kDefaultLimits = "8 10 1800 268435456 30 5";

const InstallationCase kCases[] = {
    {"FoldersByDefault", {}, folders, test::kDefaultInstallation.settingsAndControlDocument},
    {"FoldersInCommonAppData",
     {{"PELORIX_COMMON_APPDATA", "/srv/data"}},
     folders,
     "/srv/data/Pelorix/Pelorix.ini /srv/data/OrvaneTrellisService/OTRS.xml"},
    {"FailedLookupPutsBothAtTheRoot",
     {{"PELORIX_COMMON_APPDATA", ""}},
     folders,
     "/Pelorix/Pelorix.ini /OrvaneTrellisService/OTRS.xml"},
    {"SystemFolderByDefault", {}, systemFolder, test::kDefaultInstallation.systemFolder},
    {"SystemFolderNamed", {{"PELORIX_SYSTEM_FOLDER", "/srv/system"}}, systemFolder, "/srv/system"},
    {"SystemFolderLookupFailed", {{"PELORIX_SYSTEM_FOLDER", ""}}, systemFolder, ""},
    {"UpdateServerByDefault",
     {},
     server,
     "http://updates.pelorix.example/Updater "
     "http://updates.pelorix.example/sources/PX_History.txt"},
    {"UpdateServerMirror",
     {{"PELORIX_UPDATE_SERVER", "http://mirror:81/px/Updater/"}},
     server,
     "http://mirror:81/px/Updater http://mirror:81/sources/PX_History.txt"},
    {"OdbcDriverBlankIsTheDefault",
     {{"PELORIX_ODBC_DRIVER", " "}},
     odbcDriver,
     test::kDefaultInstallation.sqlServerOdbcDriver},
    {"OdbcDriverNamed",
     {{"PELORIX_ODBC_DRIVER", " ODBC Driver 18 for SQL Server "}},
     odbcDriver,
     "ODBC Driver 18 for SQL Server"},
    {"LimitsByDefault", {}, limits, kDefaultLimits},
    {"LimitsShortened",
     {{"PELORIX_STOP_TIMEOUT_SECONDS", "2"},
      {"PELORIX_DOWNLOAD_STALL_SECONDS", "1"},
      {"PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS", "5"},
      {"PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", "4096"},
      {"PELORIX_DB_STATEMENT_TIMEOUT_SECONDS", "3"},
      {"PELORIX_DB_CONNECT_TIMEOUT_SECONDS", "0x10"}},
     limits,
     "2 1 5 4096 3 16"},
    {"LimitsThatAreNoPositiveWholeNumbersAreIgnored",
     {{"PELORIX_STOP_TIMEOUT_SECONDS", "0"},
      {"PELORIX_DOWNLOAD_STALL_SECONDS", "-3"},
      {"PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS", "soon"},
      {"PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", "4k"},
      {"PELORIX_DB_STATEMENT_TIMEOUT_SECONDS", ""},
      {"PELORIX_DB_CONNECT_TIMEOUT_SECONDS", "2.5"}},
     limits,
     kDefaultLimits},
    {"WaitsInFullByDefault", {}, waitPercent, "100"},
    {"WaitsShortenedForTests", {{"PELORIX_TEST_WAIT_PERCENT", "5"}}, waitPercent, "5"},
    {"WaitsNeverLengthened", {{"PELORIX_TEST_WAIT_PERCENT", "500"}}, waitPercent, "100"},
    {"WaitsOfNoPercentAreIgnored", {{"PELORIX_TEST_WAIT_PERCENT", "0"}}, waitPercent, "100"},
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
