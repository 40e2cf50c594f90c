// --if-needed: an installation that already is the verified release is left as it is, its
// services untouched and nothing fetched but the checksum list and its signature; anything that
// differs, and a run without a trusted key, gets the full update, which fetches only the files
// the installation does not have as listed (all of them without a key).

#include "e2e_fixture.h"
#include "report_check.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <ostream>

namespace pelorix::e2e {
namespace {

struct IfNeededCase {
    const char* name;
    std::function<void(EndToEnd&, Sandbox&)> prepare;  // after the first, complete update
    bool current;
    bool updateChanges;  // the full update has something to repair
    const char* line;    // part of the status box that says why
    // The release files the full update fetches, sorted; none given: every one.
    std::optional<QStringList> fetched{};
};

void PrintTo(const IfNeededCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class E2eIfNeeded : public EndToEnd, public ::testing::WithParamInterface<IfNeededCase> {
  protected:
    // What the run may change: the installation, its database, the services' control document
    // and the registrar's registry.
    QMap<QString, QByteArray> installationState() const {
        QMap<QString, QByteArray> state = fileContents(sandbox.appFolder());
        const auto libraries = fileContents(sandbox.systemFolder());
        for (auto library = libraries.cbegin(); library != libraries.cend(); ++library) {
            state.insert("system/" + library.key(), library.value());
        }
        for (const QString& file :
             {sandbox.databaseFile(), sandbox.controlDocument(), sandbox.registryFile()}) {
            state.insert(file, readFile(file));
        }
        return state;
    }

    QTemporaryDir reports;
};

TEST_P(E2eIfNeeded, LeavesACurrentInstallationAloneAndUpdatesAnyOther) {
    ASSERT_TRUE(QFile::copy(sandbox.path("release/key/PelorixUpdater.pub"),
                            sandbox.updaterFolder() + "/PelorixUpdater.pub"));
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    GetParam().prepare(*this, sandbox);
    sandbox.startRequestLoggingUpdateServer();
    const QMap<QString, QByteArray> before = installationState();
    const QString reportFile = reports.path() + "/report.json";

    const RunResult run = sandbox.run(unattended({"--if-needed", "--report", reportFile}));

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(GetParam().line)) << run.out.toStdString();
    const QStringList requested = sandbox.requestedFiles();
    const QJsonObject report = validatedReport(reportFile);
    if (GetParam().current) {
        EXPECT_EQ(requested, QStringList({"SHA256SUMS", "SHA256SUMS.minisig"}));
        EXPECT_TRUE(installationState() == before) << "a current installation was changed";
        EXPECT_EQ(run.err, confirmationMessage(Texts::German));
        EXPECT_FALSE(report["changed"].toBool());
        return;
    }
    QStringList fetched = requested.filter(QRegularExpression("^(?!SHA256SUMS)"));
    fetched.sort();
    EXPECT_EQ(fetched, GetParam().fetched.value_or(release.keys()));
    expectNewReleaseInstalled();
    EXPECT_EQ(report["changed"].toBool(), GetParam().updateChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, E2eIfNeeded,
    ::testing::Values(
        IfNeededCase{"Current", [](EndToEnd&, Sandbox&) {}, true, false,
                     "--if-needed: the installation is current; nothing to do."},
        IfNeededCase{"OneFileDiffers",
                     [](EndToEnd&, Sandbox& sandbox) {
                         QFile file(sandbox.appFolder() + "/Reports.exe");
                         ASSERT_TRUE(file.open(QIODevice::Append));
                         file.write("\n");
                     },
                     false, true, "/Reports.exe differs from the release; the update runs.",
                     QStringList{"Reports.exe"}},
        IfNeededCase{"LibraryMissing",
                     [](EndToEnd&, Sandbox& sandbox) {
                         ASSERT_TRUE(QFile::remove(sandbox.systemFolder() + "/Quennel.dll"));
                     },
                     false, true, "/Quennel.dll differs from the release; the update runs.",
                     QStringList{"Quennel.dll"}},
        IfNeededCase{"TonerLimitToCorrect",
                     [](EndToEnd&, Sandbox& sandbox) {
                         ASSERT_TRUE(DatabaseView(sandbox.databaseFile())
                                         .execute("UPDATE tblPrinters SET TonerLimit = 0"));
                     },
                     false, true, "the database is not current (UPDATE tblPrinters SET TonerLimit",
                     QStringList{}},
        IfNeededCase{
            "IndexMissing",
            [](EndToEnd&, Sandbox& sandbox) {
                ASSERT_TRUE(
                    DatabaseView(sandbox.databaseFile()).execute("DROP INDEX DepartmentID"));
            },
            false, true, "the database is not current (CREATE  UNIQUE Index DepartmentID",
            QStringList{}},
        IfNeededCase{"NoKey",
                     [](EndToEnd&, Sandbox& sandbox) {
                         ASSERT_TRUE(
                             QFile::remove(sandbox.updaterFolder() + "/PelorixUpdater.pub"));
                     },
                     false, false,
                     "--if-needed: without a trusted release key the installation cannot be "
                     "compared with the release; the full update runs."}),
    [](const ::testing::TestParamInfo<IfNeededCase>& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace pelorix::e2e
