#include "schema_fixture.h"

#include <QFileInfo>
#include <QProcess>

#include "support/test_environment.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

QString sampleDbTool() {
    return toolPath("sample-db/pelorix-sample-db");
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun runTool(const QStringList& arguments) {
    QProcess process;
    process.start(sampleDbTool(), arguments);
    process.waitForFinished(20000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput())};
}

class SampleDbTool : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!QFileInfo(sampleDbTool()).isExecutable()) {
            GTEST_SKIP() << "pelorix-sample-db is not built";
        }
    }
    TempDir dir_;
};

TEST_F(SampleDbTool, CreatesADatabaseAt610WithTheTablesTheUpdaterReliesOn) {
    const QString file = dir_.file("Pelorix.mdb");
    ASSERT_EQ(runTool({file}).exitCode, 0);
    const QString connection = jetConnection(file);
    EXPECT_EQ(readValue(connection, "SELECT [Value] FROM tblConfig WHERE [Field] = 'Version'"),
              QVariant("6.1.0"));
    const QStringList printers = columnsOf(connection, "tblPrinters");
    for (const char* column :
         {"WarningTime", "OperatorErrorTime", "ServiceErrorTime", "LastRUITonerRead", "SFValue",
          "FingerPrint", "SNMPName", "TonerLimit"}) {
        EXPECT_TRUE(printers.contains(column)) << column;
    }
    EXPECT_FALSE(printers.contains("YTonerOrder"));
    EXPECT_TRUE(columnsOf(connection, "tblData").contains("RawRead"));
    EXPECT_TRUE(columnsOf(connection, "tblDepartment").contains("DepartmentID"));
    EXPECT_TRUE(columnsOf(connection, "tblTonerFlow").isEmpty());
    EXPECT_EQ(readRows(connection, "SELECT [Type] FROM tblTypes").size(), 8u);
    EXPECT_GE(
        readValue(connection, "SELECT count(*) FROM tblPrinters WHERE TonerLimit = 0").toInt(), 1);
    // Jet's text columns keep text as text.
    EXPECT_EQ(readValue(connection, "SELECT typeof(WarningTime) FROM tblPrinters LIMIT 1"),
              QVariant("text"));
}

TEST_F(SampleDbTool, KeepsAnExistingFileUnlessForced) {
    const QString file = dir_.write("Pelorix.mdb", "keep me");
    EXPECT_EQ(runTool({file}).exitCode, 2);
    EXPECT_EQ(dir_.read("Pelorix.mdb"), QByteArray("keep me"));
    EXPECT_EQ(runTool({"--force", "--version", "6.2.0", "--empty-types", file}).exitCode, 0);
    const QString connection = jetConnection(file);
    EXPECT_EQ(readValue(connection, "SELECT [Value] FROM tblConfig WHERE [Field] = 'Version'"),
              QVariant("6.2.0"));
    EXPECT_TRUE(readRows(connection, "SELECT * FROM tblTypes").empty());
}

TEST_F(SampleDbTool, PrintsTheSameSchemaAsTSql) {
    const ToolRun run = runTool({"--tsql"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(
        run.output.contains("CREATE TABLE tblPrinters (PrinterID int IDENTITY (1, 1) NOT "
                            "NULL, PrinterName nvarchar (100)"));
    EXPECT_TRUE(
        run.output.contains("CREATE TABLE tblTypes ([Type] int, TypeText nvarchar (100));"));
    EXPECT_TRUE(run.output.contains("VALUES ('Version', '6.1.0');"));
    EXPECT_FALSE(run.output.contains("string"));
    EXPECT_EQ(run.output.count("INSERT INTO tblTypes"), 8);
    EXPECT_EQ(runTool({"--tsql", "file.mdb"}).exitCode, 1);
    EXPECT_EQ(runTool({}).exitCode, 1);
}

}  // namespace
}  // namespace pelorix::test
