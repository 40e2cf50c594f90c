#include "xmlstore/store_fixture.h"
#include "xmlstore/supervisor_process.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace pelorix::test {
namespace {

const QString kPxsTarget = R"(processes/process[@name="PelorixService"]/targetstatus)";
const QString kPxsCurrent = R"(processes/process[@name="PelorixService"]/currentstatus)";
const QString kHvsTarget = R"(processes/process[@name="HavrelService"]/targetstatus)";
const QString kHvsCurrent = R"(processes/process[@name="HavrelService"]/currentstatus)";

class Supervisor : public StoreFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(SupervisorProcess::binary()).isExecutable())
            << "build the target pelorix-supervisor first";
    }

    // The status read afresh from the document, or "unreadable".
    QString read(const QString& path) {
        return store.XMLLoadFile(document) ? store.XMLGetValue(path, "missing") : "unreadable";
    }

    // Waits up to five seconds for the value; the elapsed milliseconds, or -1.
    qint64 waitFor(const QString& path, const QString& value) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            if (read(path) == value) {
                return timer.elapsed();
            }
            QThread::msleep(5);
        }
        return -1;
    }

    void requestStop(const QStringList& targets) {
        ASSERT_TRUE(store.XMLLoadFile(document));
        for (const QString& target : targets) {
            store.XMLSetValue(target, "0");
        }
        ASSERT_TRUE(store.XMLSave(""));
    }

    const QString document = temp.file("OrvaneTrellisService/OTRS.xml");
    SupervisorProcess supervisor;
};

TEST_F(Supervisor, CreatesBothProcessesRunningAndStopsThemAfterTheDelay) {
    ASSERT_TRUE(supervisor.start({"--document", document, "--create", "--delay-ms", "300"}))
        << supervisor.errorOutput().toStdString();
    EXPECT_EQ(read(kPxsTarget), "1");
    EXPECT_EQ(read(kPxsCurrent), "1");
    EXPECT_EQ(read(kHvsTarget), "1");
    EXPECT_EQ(read(kHvsCurrent), "1");

    requestStop({kPxsTarget, kHvsTarget});
    const qint64 pxs = waitFor(kPxsCurrent, "0");
    EXPECT_GE(pxs, 250);  // not before the delay
    EXPECT_GE(waitFor(kHvsCurrent, "0"), 0);
    EXPECT_EQ(read(kPxsTarget), "0");
    EXPECT_EQ(supervisor.stop(), 0);
}

TEST_F(Supervisor, NeverLetsAProcessToKeepRunningStop) {
    ASSERT_TRUE(supervisor.start({"--document", document, "--create", "--delay-ms", "20",
                                  "--keep-running", "HavrelService"}));
    requestStop({kPxsTarget, kHvsTarget});
    ASSERT_GE(waitFor(kPxsCurrent, "0"), 0);
    QThread::msleep(300);
    EXPECT_EQ(read(kHvsCurrent), "1");
    EXPECT_EQ(read(kHvsTarget), "0");
    EXPECT_EQ(supervisor.stop(), 0);
}

TEST_F(Supervisor, WaitsOutABrokenDocumentAndServesTheNextOne) {
    temp.write("OrvaneTrellisService/OTRS.xml", "<OrvaneTrellisService><processes>");
    ASSERT_TRUE(supervisor.start({"--document", document, "--delay-ms", "0"}));
    QThread::msleep(150);
    EXPECT_EQ(temp.read("OrvaneTrellisService/OTRS.xml"), "<OrvaneTrellisService><processes>");

    ASSERT_TRUE(store.XMLLoadText(R"(<s><processes><process name="PelorixService">)"
                                  "<targetstatus>0</targetstatus><currentstatus>1</currentstatus>"
                                  "</process></processes></s>"));
    ASSERT_TRUE(store.XMLSave(document));
    EXPECT_GE(waitFor(kPxsCurrent, "0"), 0);
    EXPECT_EQ(supervisor.stop(), 0);
}

TEST_F(Supervisor, RejectsAMissingDocumentArgument) {
    QProcess process;
    process.start(SupervisorProcess::binary(), {"--delay-ms", "10"});
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 2);
}

}  // namespace
}  // namespace pelorix::test
