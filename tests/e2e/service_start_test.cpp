// --start-services: after a successful update both services are asked to run again through the
// control document; one that does not start ends the run with status 10.

#include "e2e_fixture.h"
#include "report_check.h"

#include <QJsonArray>
#include <QTemporaryDir>

namespace pelorix::e2e {
namespace {

class E2eServiceStart : public EndToEnd {
  protected:
    QString reportFile() const { return reports.path() + "/report.json"; }
    int statusCount(const QString& element, const QString& value) const {
        return QString::fromUtf8(readFile(sandbox.controlDocument()))
            .count("<" + element + ">" + value + "</" + element + ">");
    }

    QTemporaryDir reports;
};

TEST_F(E2eServiceStart, BothServicesRunAgainAfterTheUpdate) {
    const RunResult run = sandbox.run(unattended({"--start-services", "--report", reportFile()}));

    EXPECT_EQ(run.out, fullRunOutput(Texts::German) + closedLine("Starte den PelorixService") +
                           closedLine("Starte den HavrelService"));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
    EXPECT_EQ(statusCount("targetstatus", "1"), 2);
    EXPECT_EQ(statusCount("currentstatus", "1"), 2);
    const QJsonObject report = validatedReport(reportFile());
    EXPECT_EQ(report["status"].toInt(), 0);
    EXPECT_TRUE(report["changed"].toBool());
    EXPECT_EQ(report["steps"].toArray().last()["text"].toString(), "Starte den HavrelService");
}

TEST_F(E2eServiceStart, AServiceThatDoesNotStartEndsWithStatus10) {
    sandbox.startSupervisor({"--keep-stopped", "HavrelService"});

    const RunResult run =
        sandbox.run(unattended({"--db-only", "--start-services", "--report", reportFile()}));

    EXPECT_EQ(run.exitStatus, 10);
    EXPECT_TRUE(run.out.endsWith(closedLine("Starte den PelorixService") +
                                 closedLine("Starte den HavrelService", "Fehler")))
        << run.out.toStdString();
    EXPECT_EQ(run.err, confirmationMessage(Texts::German) +
                           messageBox({"Der HavrelService konnte nicht gestartet werden."}) +
                           finalQuestion(Texts::German));
    const QJsonObject report = validatedReport(reportFile());
    EXPECT_EQ(report["status"].toInt(), 10);
    EXPECT_EQ(report["meaning"].toString(), "update done, a service did not start");
}

}  // namespace
}  // namespace pelorix::e2e
