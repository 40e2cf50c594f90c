#include "schema/version_check.h"
#include "platform/file_system.h"
#include "recording_database.h"
#include "schema/schema_operations.h"
#include "schema_fixture.h"

#include <gtest/gtest.h>

namespace pelorix::test {
namespace {

using schema::isVersionSmaller;
using schema::versionPartValue;

TEST(VersionPartValue, ReadsALeadingWholeNumber) {
    EXPECT_EQ(versionPartValue("10"), 10);
    EXPECT_EQ(versionPartValue(" 1 2\t3\n"), 123);
    EXPECT_EQ(versionPartValue("-4"), -4);
    EXPECT_EQ(versionPartValue("+ 7x9"), 7);
    EXPECT_EQ(versionPartValue("x"), 0);
    EXPECT_EQ(versionPartValue(""), 0);
    EXPECT_EQ(versionPartValue("--3"), 0);
    EXPECT_EQ(versionPartValue("3-"), 3);
    EXPECT_EQ(versionPartValue("0042"), 42);
}

struct VersionCase {
    const char* stored;
    bool smallerThan620;
};

void PrintTo(const VersionCase& version, std::ostream* out) {
    *out << '"' << version.stored << '"';
}

class StoredVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(StoredVersionTest, ComparedWith620) {
    EXPECT_EQ(isVersionSmaller("6.2.0", GetParam().stored), GetParam().smallerThan620);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, StoredVersionTest,
    ::testing::Values(VersionCase{"6.1.9", true}, VersionCase{"5.9", true},
                      VersionCase{"6.2.0", false}, VersionCase{"6.10.0", false},
                      VersionCase{"7", false}, VersionCase{"6.2.0.1", false},
                      VersionCase{"6.2", true}, VersionCase{"6", true}, VersionCase{"6.2.x", false},
                      VersionCase{" 6.1.0", true}, VersionCase{"6.02.00", false},
                      VersionCase{"-1.0.0", true}),
    [](const auto& testCase) { return "Case" + std::to_string(testCase.index); });

TEST(IsVersionSmaller, AGivenVersionWithoutPartsIsGreater) {
    EXPECT_TRUE(isVersionSmaller("", "6.2.0"));
    EXPECT_TRUE(isVersionSmaller("6.2", "6.2.0"));
    EXPECT_FALSE(isVersionSmaller("6.1.9", "6.2"));
}

// The stored version is read from tblConfig through the database.
class CheckDBVersionSmallerTest : public ::testing::TestWithParam<Backend> {
  protected:
    bool check() {
        LogLines log;
        schema::SchemaOperations ops({GetParam().connection(file_), GetParam().isSqlServer, true},
                                     database_, log.writer());
        const bool result = ops.CheckDBVersionSmaller("6.2.0");
        EXPECT_TRUE(log.lines.empty());
        EXPECT_FALSE(ops.failed());
        return result;
    }
    void setVersion(const QString& value) {
        runStatements(jetConnection(file_),
                      {"UPDATE tblConfig SET [Value] = " + value + " WHERE [Field] = 'Version'"});
    }

    TempDir dir_;
    QString file_ = createDatabaseFile(dir_);
    platform::QtSqlDatabase database_{platform::defaultFileSystem()};
};

TEST_P(CheckDBVersionSmallerTest, ReadsTheVersionRow) {
    createPelorixTables(jetConnection(file_), "6.1.0");
    EXPECT_TRUE(check());
    setVersion("'6.2.0'");
    EXPECT_FALSE(check());
    setVersion("'6.10.0'");
    EXPECT_FALSE(check());
}

TEST_P(CheckDBVersionSmallerTest, NoVersionMeansNotSmaller) {
    EXPECT_FALSE(check());  // no tblConfig at all
    createPelorixTables(jetConnection(file_), "6.1.0");
    setVersion("NULL");
    EXPECT_FALSE(check());
    setVersion("''");
    EXPECT_FALSE(check());
    runStatements(jetConnection(file_), {"DELETE FROM tblConfig"});
    EXPECT_FALSE(check());
}

// The embedded file compares text without regard to case, as Jet does.
TEST(CheckDBVersionSmaller, FindsTheVersionRowInAnyCaseInTheEmbeddedFile) {
    TempDir dir;
    const QString file = createDatabaseFile(dir);
    createPelorixTables(jetConnection(file), "6.1.0");
    runStatements(jetConnection(file),
                  {"UPDATE tblConfig SET [Field] = 'VERSION' WHERE [Field] = 'Version'"});
    platform::QtSqlDatabase database(platform::defaultFileSystem());
    schema::SchemaOperations ops({jetConnection(file), false, false}, database, {});
    EXPECT_TRUE(ops.CheckDBVersionSmaller("6.2.0"));
}

INSTANTIATE_TEST_SUITE_P(Backends, CheckDBVersionSmallerTest,
                         ::testing::Values(kEmbedded, kSqliteOdbc),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(CheckDBVersionSmaller, SendsTheQueryUnconvertedAndReadsTheSecondField) {
    RecordingDatabase database;
    database.onQuery = [](const QString&) {
        return platform::QueryResult{
            true, {}, {"Field", "Value", "Extra"}, {{"Version", "6.1.0", "9"}}};
    };
    schema::SchemaOperations ops({"Provider=SQLOLEDB;Data Source=h", true, true}, database, {});
    EXPECT_TRUE(ops.CheckDBVersionSmaller("6.2.0"));
    EXPECT_EQ(database.texts(),
              QStringList{"query: SELECT * from tblConfig WHERE Field = 'Version'"});
    EXPECT_EQ(database.calls[0].connection, "Provider=SQLOLEDB;Data Source=h");
}

TEST(NullToDefault, GivesTheDefaultForNullOnly) {
    EXPECT_EQ(schema::NullToDefault(QVariant(), "d"), QVariant("d"));
    EXPECT_EQ(schema::NullToDefault(QVariant(QMetaType::fromType<QString>()), "d"), QVariant("d"));
    EXPECT_EQ(schema::NullToDefault(QString(""), "d"), QVariant(QString("")));
    EXPECT_EQ(schema::NullToDefault(0, "d"), QVariant(0));
}

}  // namespace
}  // namespace pelorix::test
