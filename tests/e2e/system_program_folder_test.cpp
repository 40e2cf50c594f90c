// A settings file whose AppPath is missing makes the updater's own folder the program folder;
// for the package that is /usr/bin. A folder of the system is refused as program folder before
// anything changes, by the run and by the dry run alike.

#include "e2e_fixture.h"

namespace pelorix::e2e {
namespace {

struct ProgramFolderCase {
    const char* name;
    const char* appPath;
};

class E2eSystemProgramFolder : public EndToEnd,
                               public ::testing::WithParamInterface<ProgramFolderCase> {};

TEST_P(E2eSystemProgramFolder, IsRefusedWithStatusOneAndNothingChanges) {
    QByteArray settings =
        "[ServiceSettings]\r\nDataBasePath=" + QFile::encodeName(sandbox.path("data")) + "\r\n";
    settings += "AppPath=" + QByteArray(GetParam().appPath) + "\r\n";
    sandbox.writeSettingsBytes(settings + "[Settings]\r\nUpdateLog=1\r\nLanguage=DE\r\n");
    // Should the refusal ever fail, no release may reach the real folder: nothing answers at
    // the update server's address, so such a run ends in the download error instead.
    sandbox.setUpdateServer("http://127.0.0.1:9/Updater");

    const RunResult run = sandbox.run(unattended());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Systemordner")) << run.err.toStdString();
    expectOldInstallationUntouched();

    const RunResult dry = sandbox.run({"--dry-run"});
    EXPECT_EQ(dry.exitStatus, 1) << dry.out.toStdString();
    EXPECT_TRUE(dry.out.contains("is a folder of the system")) << dry.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Folders, E2eSystemProgramFolder,
                         ::testing::Values(ProgramFolderCase{"UsrBin", "/usr/bin"},
                                           ProgramFolderCase{"Root", "/"},
                                           ProgramFolderCase{"EtcWithSlash", "/etc/"},
                                           ProgramFolderCase{"LinkedBin", "/bin"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::e2e
