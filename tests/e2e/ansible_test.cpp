// The Ansible task file of docs/ansible, run by the real ansible-playbook against this machine
// with a local connection on a sandbox installation.

#include "build_paths.h"
#include "e2e_fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace pelorix::e2e {
namespace {

struct PlayResult {
    int exitStatus = -1;
    QString output;
    QMap<QString, int> recap;  // the counts of the host's recap line: changed, failed, ...
};

class E2eAnsible : public EndToEnd {
  protected:
    void SetUp() override {
        EndToEnd::SetUp();
        writePlaybook();
    }

    void writePlaybook() {
        QFile playbook(work.path() + "/play.yml");
        ASSERT_TRUE(playbook.open(QIODevice::WriteOnly));
        playbook.write(
            "- hosts: localhost\n"
            "  connection: local\n"
            "  gather_facts: false\n"
            "  tasks:\n"
            "    - ansible.builtin.import_tasks: " +
            sourceFile("docs/ansible/pelorix-update.yml").toUtf8() + "\n");
    }

    QJsonObject variables() const {
        QJsonObject environment;
        const QProcessEnvironment sandboxEnvironment = sandbox.environment();
        for (const QString& name : sandboxEnvironment.keys()) {
            if (name.startsWith("PELORIX_") || name == "PATH") {
                environment.insert(name, sandboxEnvironment.value(name));
            }
        }
        return {{"pelorix_update_program", sandbox.updaterFolder() + "/PelorixUpdater"},
                {"pelorix_update_environment", environment},
                {"pelorix_update_report", work.path() + "/report.json"},
                {"ansible_python_interpreter", "/usr/bin/python3"}};
    }

    PlayResult play(const QStringList& options = {}) {
        QFile variablesFile(work.path() + "/vars.json");
        EXPECT_TRUE(variablesFile.open(QIODevice::WriteOnly));
        variablesFile.write(QJsonDocument(variables()).toJson());
        variablesFile.close();

        QProcess ansible;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Everything Ansible keeps goes into the test's own folder.
        environment.insert("ANSIBLE_HOME", work.path() + "/ansible");
        environment.insert("ANSIBLE_LOCAL_TEMP", work.path() + "/ansible/tmp");
        environment.insert("ANSIBLE_REMOTE_TEMP", work.path() + "/ansible/tmp");
        environment.insert("ANSIBLE_NOCOLOR", "1");
        ansible.setProcessEnvironment(environment);
        ansible.setWorkingDirectory(work.path());
        test::RunLock updaterRuns(test::RunLock::Kind::Shared);
        ansible.start("ansible-playbook",
                      QStringList{"-i", "localhost,", "-e", "@" + variablesFile.fileName()} +
                          options + QStringList{work.path() + "/play.yml"});
        const bool finished = ansible.waitForFinished(120'000);
        PlayResult result;
        result.output =
            QString::fromUtf8(ansible.readAllStandardOutput() + ansible.readAllStandardError());
        EXPECT_TRUE(finished) << result.output.toStdString();
        result.exitStatus = ansible.exitCode();
        // localhost : ok=6    changed=1    unreachable=0    failed=0    skipped=0 ...
        const QRegularExpression count(R"((\w+)=(\d+))");
        const qsizetype recap = result.output.lastIndexOf("localhost ");
        const QString recapLine = result.output.mid(recap).section('\n', 0, 0);
        for (const QRegularExpressionMatch& match : count.globalMatch(recapLine)) {
            result.recap.insert(match.captured(1), match.captured(2).toInt());
        }
        return result;
    }

    QTemporaryDir work;
};

TEST_F(E2eAnsible, CheckModeChangesNothingAndARealRunChangesOnlyOnce) {
    ASSERT_TRUE(QFile::copy(sandbox.path("release/key/PelorixUpdater.pub"),
                            sandbox.updaterFolder() + "/PelorixUpdater.pub"));
    const QMap<QString, QByteArray> before = fileContents(sandbox.root());

    const PlayResult check = play({"--check"});
    EXPECT_EQ(check.exitStatus, 0) << check.output.toStdString();
    EXPECT_EQ(check.recap.value("changed", -1), 1) << check.output.toStdString();
    EXPECT_TRUE(fileContents(sandbox.root()) == before) << "check mode changed the sandbox";

    const PlayResult first = play();
    EXPECT_EQ(first.exitStatus, 0) << first.output.toStdString();
    EXPECT_EQ(first.recap.value("changed", -1), 1) << first.output.toStdString();
    expectNewReleaseInstalled();

    // The second run finds the release installed: it stops no service and fetches only the list.
    sandbox.startRequestLoggingUpdateServer();
    const QByteArray controlDocument = readFile(sandbox.controlDocument());
    const PlayResult second = play();
    EXPECT_EQ(second.exitStatus, 0) << second.output.toStdString();
    EXPECT_EQ(second.recap.value("changed", -1), 0) << second.output.toStdString();
    EXPECT_EQ(sandbox.requestedFiles(), QStringList({"SHA256SUMS", "SHA256SUMS.minisig"}));
    EXPECT_EQ(readFile(sandbox.controlDocument()), controlDocument);
}

TEST_F(E2eAnsible, AMissingFileFailsWithTheMeaningOfStatus7) {
    ASSERT_TRUE(QFile::remove(sandbox.releaseFile("PXHelp.chm")));

    const PlayResult run = play();

    EXPECT_NE(run.exitStatus, 0);
    EXPECT_EQ(run.recap.value("failed", -1), 1) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("status 7: download error")) << run.output.toStdString();
}

}  // namespace
}  // namespace pelorix::e2e
