// The control document of the supervising service is missing, broken, ignored or rewritten
// while the updater waits; each case ends as it should, and the next run completes.

#include "e2e_fixture.h"
#include "inspection.h"

#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace pelorix::e2e {
namespace {

using namespace std::chrono_literals;

// "target/current" of a process in the control document.
QString processStatus(const QString& document, const QString& name) {
    const QRegularExpression process(
        "<process name=\"" + name +
        R"(\">\s*<targetstatus>([^<]*)</targetstatus>\s*<currentstatus>([^<]*)</currentstatus>)");
    const auto match = process.match(QString::fromUtf8(readFile(document)));
    return match.hasMatch() ? match.captured(1) + "/" + match.captured(2) : "(none)";
}

class E2eControlDocument : public EndToEnd {
  protected:
    // Stopped before the database: nothing of the installation or the database changed.
    void expectNothingChanged() {
        expectOldInstallationUntouched();
        EXPECT_FALSE(DatabaseView(sandbox.databaseFile()).tables().contains("tblTonerFlow"));
    }
    void expectSecondRunCompletes() {
        sandbox.startSupervisor();
        expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
    }
};

TEST_F(E2eControlDocument, AMissingDocumentTakesTheGeneralFailureExit) {
    sandbox.stopSupervisor();
    QFile::remove(sandbox.controlDocument());

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, "Beende den PelorixService");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_FALSE(QFile::exists(sandbox.controlDocument()));
    expectNothingChanged();
    expectSecondRunCompletes();
}

struct OddDocument {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const OddDocument& document, std::ostream* out) {
    *out << document.name;
}

QByteArray nestedTooDeep() {
    const int levels = 10000;
    return QByteArray("<OrvaneTrellisService><processes>") + QByteArray("<a>").repeated(levels) +
           QByteArray("</a>").repeated(levels) + "</processes></OrvaneTrellisService>";
}

// Documents that do not parse, or that could not be written back as they are.
const OddDocument kOddDocuments[] = {
    {"CutOff", "<OrvaneTrellisService><processes><process name=\"PelorixSer"},
    {"NestedTooDeep", nestedTooDeep()},
    {"WithEntities",
     "<!DOCTYPE OrvaneTrellisService [<!ENTITY z \"0\">]>\n<OrvaneTrellisService><processes>"
     "<process name=\"PelorixService\"><targetstatus>1</targetstatus><currentstatus>&z;"
     "</currentstatus></process></processes></OrvaneTrellisService>\n"},
    {"NotInItsEncoding",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OrvaneTrellisService note=\"Gr\xFC\xDF"
     "e\">"
     "<processes/></OrvaneTrellisService>\n"},
};

class E2eOddControlDocument : public E2eControlDocument,
                              public ::testing::WithParamInterface<OddDocument> {};

// The document belongs to the supervising service: one that the updater cannot write back as
// it is stays as it is.
TEST_P(E2eOddControlDocument, IsLeftAsItWas) {
    sandbox.stopSupervisor();
    const QByteArray broken = GetParam().bytes;
    QFile document(sandbox.controlDocument());
    ASSERT_TRUE(document.open(QIODevice::WriteOnly | QIODevice::Truncate));
    document.write(broken);
    document.close();

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, "Beende den PelorixService");
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) + generalFailureMessage(Texts::German));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(readFile(sandbox.controlDocument()), broken);
    expectNothingChanged();
    expectSecondRunCompletes();
}

INSTANTIATE_TEST_SUITE_P(Documents, E2eOddControlDocument, ::testing::ValuesIn(kOddDocuments),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// With the stop limit shortened to two seconds.
TEST_F(E2eControlDocument, AServiceThatNeverStopsEndsTheRunWithStatus5) {
    sandbox.startSupervisor({"--keep-running", "HavrelService"});

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, closedLine("Beende den PelorixService") +
                           closedLine("Beende den HavrelService", "Fehler"));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) +
                           serviceNotStoppedMessage(Texts::German, "HavrelService"));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_LT(run.elapsed, 7s) << "the shortened stop limit was not used";
    EXPECT_EQ(sandbox.debugLogMessages().last(), "Error terminating HVS.");
    // PelorixService stays stopped, HavrelService stays asked.
    EXPECT_EQ(processStatus(sandbox.controlDocument(), "PelorixService"), "0/0");
    EXPECT_EQ(processStatus(sandbox.controlDocument(), "HavrelService"), "0/1");
    expectNothingChanged();
    expectSecondRunCompletes();
}

// The one run with the real limit of eight seconds on a clock of whole seconds.
TEST_F(E2eControlDocument, AServiceThatNeverStopsIsGivenSevenToEightSeconds) {
    sandbox.setEnvironment("PELORIX_STOP_TIMEOUT_SECONDS", "");
    sandbox.startSupervisor({"--keep-running", "PelorixService"});

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, closedLine("Beende den PelorixService", "Fehler"));
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) +
                           serviceNotStoppedMessage(Texts::German, "PelorixService"));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_GE(run.elapsed, 7s);
    EXPECT_LT(run.elapsed, 12s);
    EXPECT_EQ(sandbox.debugLogMessages().last(), "Error terminating PXS.");
    EXPECT_EQ(processStatus(sandbox.controlDocument(), "HavrelService"), "1/1")
        << "HavrelService was asked although PelorixService did not stop";
    expectNothingChanged();
    expectSecondRunCompletes();
}

// Another writer rewrites the document in place, in two pieces, all the time: readers now and
// then find it empty or cut off. The supervising service still stops both services.
class InPlaceRewriter {
  public:
    explicit InPlaceRewriter(QString document)
        : document_(std::move(document)), thread_([this] { loop(); }) {}
    ~InPlaceRewriter() {
        stop_ = true;
        thread_.join();
    }
    int rewrites() const { return rewrites_; }

  private:
    void loop() {
        const QByteArray path = QFile::encodeName(document_);
        while (!stop_) {
            rewriteOnce(path);
            std::this_thread::sleep_for(3ms);
        }
    }
    // Through one descriptor: a document renamed into place meanwhile is never overwritten
    // with old content, only the replaced file is.
    void rewriteOnce(const QByteArray& path) {
        const int fd = ::open(path.constData(), O_RDWR);
        if (fd < 0) {
            return;
        }
        char buffer[65536];
        const ssize_t length = ::pread(fd, buffer, sizeof buffer, 0);
        if (length > 0 && ::ftruncate(fd, 0) == 0) {
            const ssize_t half = length / 2;
            bool written = ::pwrite(fd, buffer, half, 0) == half;
            std::this_thread::sleep_for(2ms);
            written = written && ::pwrite(fd, buffer + half, length - half, half) == length - half;
            rewrites_ += written ? 1 : 0;
        }
        ::close(fd);
    }

    QString document_;
    std::atomic<bool> stop_{false};
    std::atomic<int> rewrites_{0};
    std::thread thread_;
};

TEST_F(E2eControlDocument, ADocumentRewrittenWhileTheUpdaterPollsStillStopsBothServices) {
    sandbox.startSupervisor({"--delay-ms", "500"});
    RunResult run;
    {
        InPlaceRewriter rewriter(sandbox.controlDocument());
        run = sandbox.run(unattended());
        EXPECT_GT(rewriter.rewrites(), 100);
    }
    expectCompleteUpdate(run, Texts::German, 1, 15, 1);
    EXPECT_EQ(processStatus(sandbox.controlDocument(), "PelorixService"), "0/0");
    EXPECT_EQ(processStatus(sandbox.controlDocument(), "HavrelService"), "0/0");
}

}  // namespace
}  // namespace pelorix::e2e
