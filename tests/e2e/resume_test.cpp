// A download cut off keeps its part; the next run continues it with a range request when the
// server allows one and the file is the same (by the signed list, or the server's ETag), and
// fetches it whole otherwise; the files fetched before the cut stay where the signed list
// vouches for them. Whatever the server does, the installed result is exact and
// nothing of the downloads is left behind.

#include "e2e_fixture.h"
#include "old_installation.h"
#include "support/expected_texts.h"

#include <QFile>
#include <QFileInfo>

#include <functional>
#include <ostream>

namespace pelorix::e2e {
namespace {

const QString kCutFile = "Reports.exe";
const QString kCutTemporary = "RP.exe";
constexpr qint64 kCutAt = 292'500;  // half of the file

using Answers = QList<QPair<int, qint64>>;

struct ResumeCase {
    const char* name;
    bool signedRelease;        // the release key is trusted
    const char* firstFault;    // how the first run's download of the file breaks off
    QStringList secondFaults;  // the server of the second run
    bool fileChangesBetween;   // the server has another file of that name in the second run
    // The second run's answers for the file, with the length of the last one's body: the rest
    // (0 here) or the whole file (-1).
    QList<int> statuses;
    bool continued;
};

void PrintTo(const ResumeCase& resumeCase, std::ostream* out) {
    *out << resumeCase.name;
}

class E2eResume : public EndToEnd, public ::testing::WithParamInterface<ResumeCase> {
  protected:
    QString notes() const {
        return sandbox.path("appdata/Pelorix/PelorixUpdater_PartialDownloads.txt");
    }
};

TEST_P(E2eResume, ContinuesWhereItMayAndInstallsTheExactRelease) {
    const ResumeCase& c = GetParam();
    if (c.signedRelease) {
        ASSERT_TRUE(QFile::copy(sandbox.path("release/key/PelorixUpdater.pub"),
                                sandbox.updaterFolder() + "/PelorixUpdater.pub"));
    }
    sandbox.startUpdateServer({c.firstFault, QString("%1:%2").arg(kCutFile).arg(kCutAt)});

    const RunResult cut = sandbox.run(unattended());
    EXPECT_EQ(cut.exitStatus, 7) << cut.err.toStdString();
    EXPECT_EQ(QFileInfo(sandbox.path("app/" + kCutTemporary)).size(), kCutAt);
    EXPECT_TRUE(QFile::exists(notes()));
    // The files after it were cancelled and went.
    EXPECT_FALSE(QFile::exists(sandbox.path("app/WS.exe")));

    if (c.fileChangesBetween) {
        QFile file(sandbox.releaseFile(kCutFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(600'000, 'n'));
        file.close();
        release = fileContents(sandbox.path("release/Updater"));
        release.remove("SHA256SUMS");
        release.remove("SHA256SUMS.minisig");
    }
    sandbox.startRequestLoggingUpdateServer(c.secondFaults);
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 0, 0, 0);
    if (HasFailure()) {
        ADD_FAILURE() << sandbox.debugLogMessages().filter("Download").join('\n').toStdString();
    }

    const Answers answers = sandbox.answersFor(kCutFile);
    QList<int> statuses;
    for (const auto& answer : answers) {
        statuses << answer.first;
    }
    EXPECT_EQ(statuses, c.statuses);
    const qint64 whole = release.value(kCutFile).size();
    ASSERT_FALSE(answers.isEmpty());
    EXPECT_EQ(answers.last().second, c.continued ? whole - kCutAt : whole);
    EXPECT_FALSE(QFile::exists(notes())) << "the note of the cut download stayed";
    // What the first run fetched before the cut is kept where the signed list vouches for it.
    const QStringList requested = sandbox.requestedFiles();
    for (const QString name : {"PelorixService.exe", "braskDLL.dll"}) {
        EXPECT_EQ(requested.contains(name), !c.signedRelease) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, E2eResume,
    ::testing::Values(
        ResumeCase{"SignedListNamesTheSameFile", true, "--close", {}, false, {206}, true},
        ResumeCase{"ServersETagNamesTheSameFile", false, "--close", {}, false, {206}, true},
        ResumeCase{"AStalledDownloadIsContinued", false, "--stall", {}, false, {206}, true},
        ResumeCase{
            "NoRangeSupport", false, "--close", {"--no-ranges", kCutFile}, false, {200}, false},
        ResumeCase{"ARangeOtherThanAsked",
                   true,
                   "--close",
                   {"--wrong-range", kCutFile},
                   false,
                   {206, 200},
                   false},
        ResumeCase{"RangeNotSatisfiable",
                   false,
                   "--close",
                   {"--refuse-range", kCutFile},
                   false,
                   {416, 200},
                   false},
        ResumeCase{"TheFileChangedOnTheServer", false, "--close", {}, true, {200}, false}),
    [](const ::testing::TestParamInfo<ResumeCase>& testCase) {
        return std::string(testCase.param.name);
    });

}  // namespace
}  // namespace pelorix::e2e
