// A file failure that ends the run leaves its reason in the debug log, after the text that
// names the failure; what the user sees stays as it was.

#include "e2e_fixture.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace pelorix::e2e {
namespace {

struct FailureCase {
    const char* name;
    std::function<void(Sandbox&)> arrange;
    std::function<QString(const Sandbox&)> loggedLine;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

void writeControlDocument(Sandbox& sandbox, const QByteArray& bytes) {
    sandbox.stopSupervisor();
    QFile document(sandbox.controlDocument());
    ASSERT_TRUE(document.open(QIODevice::WriteOnly | QIODevice::Truncate));
    document.write(bytes);
}

bool makeReadOnly(const QString& path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

const FailureCase kFailures[] = {
    {"ControlDocumentMissing",
     [](Sandbox& sandbox) {
         sandbox.stopSupervisor();
         ASSERT_TRUE(QFile::remove(sandbox.controlDocument()));
     },
     [](const Sandbox& sandbox) {
         return "Error loading the control document " + sandbox.controlDocument() +
                ": No such file or directory";
     }},
    {"ControlDocumentCutOff",
     [](Sandbox& sandbox) { writeControlDocument(sandbox, "<OrvaneTrellisService><proc"); },
     [](const Sandbox& sandbox) {
         return "Error loading the control document " + sandbox.controlDocument() +
                ": XML error at offset 26: Error parsing start element tag";
     }},
    {"ControlDocumentReadOnly",
     [](Sandbox& sandbox) {
         sandbox.stopSupervisor();
         ASSERT_TRUE(makeReadOnly(sandbox.controlDocument()));
     },
     [](const Sandbox& sandbox) {
         return "Error saving the control document " + sandbox.controlDocument() +
                ": the file is read-only";
     }},
    {"OldMainProgramReadOnly",
     [](Sandbox& sandbox) { ASSERT_TRUE(makeReadOnly(sandbox.appFolder() + "/Pelorix.exe")); },
     [](const Sandbox& sandbox) {
         return "Error deleting " + sandbox.appFolder() + "/Pelorix.exe: the file is read-only";
     }},
    // A folder is no file to remove, so it still stands where the new help file goes.
    {"FolderWhereTheNewHelpFileGoes",
     [](Sandbox& sandbox) {
         const QString helpFile = sandbox.appFolder() + "/PXHelp.chm";
         ASSERT_TRUE(QFile::remove(helpFile) && QDir().mkdir(helpFile));
     },
     [](const Sandbox& sandbox) {
         return "Error moving " + sandbox.appFolder() + "/PXHelp.tmp to " + sandbox.appFolder() +
                "/PXHelp.chm: File exists";
     }},
};

class E2eFailureReason : public EndToEnd, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(E2eFailureReason, IsLoggedAfterTheFailureAndTheRunTakesTheGeneralFailureExit) {
    GetParam().arrange(sandbox);

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.err.endsWith(generalFailureMessage(Texts::German)));
    const QStringList log = sandbox.debugLogMessages();
    EXPECT_TRUE(log.contains(GetParam().loggedLine(sandbox))) << log.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Failures, E2eFailureReason, ::testing::ValuesIn(kFailures),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace pelorix::e2e
