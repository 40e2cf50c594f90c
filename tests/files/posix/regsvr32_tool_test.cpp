#include "support/temp_dir.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <memory>
#include <vector>

namespace pelorix::test {
namespace {

QString registrarPath() {
    return toolPath("regsvr32/regsvr32");
}

// The real registrar, run as its own process against a registry in a scratch folder.
class Regsvr32Tool : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(registrarPath()))
            << "build the target regsvr32 first: " << registrarPath().toStdString();
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELORIX_COM_REGISTRY", registry);
        process->setProcessEnvironment(env);
        process->start(registrarPath(), arguments);
        return process;
    }

    // Runs to the end; the exit status.
    int run(const QStringList& arguments, QByteArray* output = nullptr) const {
        const auto process = start(arguments);
        process->waitForFinished(10000);
        if (output != nullptr) {
            *output = process->readAllStandardOutput() + process->readAllStandardError();
        }
        return process->exitCode();
    }

    QStringList listed() const {
        QByteArray output;
        EXPECT_EQ(run({"--list"}, &output), 0);
        return QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts);
    }

    TempDir dir;
    QString registry = dir.file("state/com-registry.txt");
};

TEST_F(Regsvr32Tool, RegistersOnceAndUnregisters) {
    const QString library = dir.write("system 32/TobrinDLL.dll", "MZ");

    EXPECT_EQ(run({library, "/s"}), 0);
    EXPECT_EQ(run({library, "/s"}), 0);
    EXPECT_EQ(listed(), QStringList({library}));
    EXPECT_EQ(dir.read("state/com-registry.txt"), QFile::encodeName(library) + "\n");

    EXPECT_EQ(run({library, "/u", "/s"}), 0);
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(Regsvr32Tool, MissingLibraryFailsAndChangesNothing) {
    const QString kept = dir.write("sys/Quennel.dll", "MZ");
    ASSERT_EQ(run({kept, "/s"}), 0);

    EXPECT_NE(run({dir.file("sys/MireldaDLL.dll"), "/s"}), 0);
    QFile::remove(kept);
    EXPECT_NE(run({kept, "/u", "/s"}), 0);

    EXPECT_EQ(listed(), QStringList({kept}));
}

TEST_F(Regsvr32Tool, SilentSwitchSuppressesMessages) {
    const QString library = dir.write("sys/braskDLL.dll", "MZ");
    QByteArray loud;
    QByteArray quiet;

    run({library}, &loud);
    run({"/S", library}, &quiet);
    run({dir.file("sys/none.dll"), "/s"}, &quiet);

    EXPECT_TRUE(loud.contains("succeeded"));
    EXPECT_TRUE(quiet.isEmpty()) << quiet.toStdString();
}

TEST_F(Regsvr32Tool, RejectsABadCommandLine) {
    const QString library = dir.write("sys/a.dll", "MZ");
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(run({"/s"}), 1);
    EXPECT_EQ(run({library, library, "/s"}), 1);
    EXPECT_TRUE(listed().isEmpty());
}

// The updater starts its registrations without waiting, so they run at the same time.
TEST_F(Regsvr32Tool, KeepsEveryOneOfManyConcurrentRegistrations) {
    QStringList libraries;
    for (int i = 0; i < 16; ++i) {
        libraries.append(dir.write(QString("sys/lib%1.dll").arg(i, 2, 10, QChar('0')), "MZ"));
    }
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QString& library : libraries) {
        running.push_back(start({library, "/s"}));
    }
    for (const auto& process : running) {
        ASSERT_TRUE(process->waitForFinished(10000));
        EXPECT_EQ(process->exitCode(), 0);
    }

    QStringList registered = listed();
    registered.sort();
    EXPECT_EQ(registered, libraries);
}

}  // namespace
}  // namespace pelorix::test
