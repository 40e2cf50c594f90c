#include "app/program/command_line.h"
#include "app/console/console_ui.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace pelorix::app {
namespace {

TEST(CommandLineTest, OptionsThenTheUpdatersOwnCommandLine) {
    const Options options = parseOptions({"--unattended", "--db-only", "-/srv/release", "x"});
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.unattended);
    EXPECT_TRUE(options.databaseOnly);
    EXPECT_FALSE(options.startMain);
    EXPECT_EQ(options.commandLine, "-/srv/release x");
    EXPECT_TRUE(options.error.isEmpty());
}

TEST(CommandLineTest, EverythingAfterDoubleDashBelongsToTheUpdater) {
    const Options options = parseOptions({"--headless", "--", "--version", "-local"});
    EXPECT_TRUE(options.headless);
    EXPECT_FALSE(options.version);
    EXPECT_EQ(options.commandLine, "--version -local");
}

TEST(CommandLineTest, OptionsAfterTheCommandLineAreNotOptions) {
    const Options options = parseOptions({"-local", "--headless"});
    EXPECT_FALSE(options.headless);
    EXPECT_EQ(options.commandLine, "-local --headless");
}

TEST(CommandLineTest, UnknownOptionIsAUsageError) {
    EXPECT_FALSE(parseOptions({"--bogus"}).error.isEmpty());
    EXPECT_TRUE(parseOptions({}).commandLine.isEmpty());
}

TEST(CommandLineTest, FleetOptions) {
    const Options dry = parseOptions({"--dry-run", "--report", "/tmp/r.json", "--start-services"});
    EXPECT_TRUE(dry.headless && dry.unattended && dry.dryRun && dry.startServices);
    EXPECT_EQ(dry.reportFile, "/tmp/r.json");
    EXPECT_TRUE(dry.error.isEmpty());
    // A report needs a file and a headless run; --start-services works with the window too.
    EXPECT_FALSE(parseOptions({"--unattended", "--report"}).error.isEmpty());
    EXPECT_FALSE(parseOptions({"--report", "r.json"}).error.isEmpty());
    EXPECT_TRUE(parseOptions({"--start-services"}).error.isEmpty());
    // --if-needed is for headless runs: in the window the user decides whether to update.
    EXPECT_TRUE(parseOptions({"--unattended", "--if-needed"}).ifNeeded);
    EXPECT_FALSE(parseOptions({"--if-needed"}).error.isEmpty());
}

class ConsoleUiTest : public ::testing::Test {
  protected:
    ~ConsoleUiTest() override {
        std::fclose(out);
        std::fclose(err);
    }
    static QString contents(FILE* file) {
        std::fflush(file);
        std::rewind(file);
        QByteArray bytes;
        char buffer[256];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
            bytes.append(buffer, static_cast<qsizetype>(n));
        }
        return QString::fromUtf8(bytes);
    }
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
};

TEST_F(ConsoleUiTest, StatusBoxIsPrintedAsItGrows) {
    ConsoleUi ui(false, false, out, err);
    ui.statusTextChanged("Beende den PelorixService");
    ui.statusTextChanged("Beende den PelorixService............ OK\r\n");
    ui.statusTextChanged("");  // a new run clears the box
    ui.statusTextChanged("Über\r\n");
    EXPECT_EQ(contents(out), "Beende den PelorixService............ OK\nÜber\n");
}

TEST_F(ConsoleUiTest, MessagesGoToStandardErrorAndAreAnswered) {
    ConsoleUi cautious(false, false, out, err);
    EXPECT_EQ(cautious.showMessage("a\r\nb", MessageButtons::OkCancel), MessageAnswer::Cancel);
    EXPECT_EQ(cautious.showMessage("c\rd\r\re", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(cautious.showMessage("f", MessageButtons::Ok), MessageAnswer::Ok);
    EXPECT_EQ(contents(err), "a\nb\n\nc\nd\n\ne\n\nf\n\n");

    ConsoleUi unattended(true, true, out, err);
    EXPECT_EQ(unattended.showMessage("x", MessageButtons::OkCancel), MessageAnswer::Ok);
    EXPECT_EQ(unattended.showMessage("y", MessageButtons::YesNo), MessageAnswer::Yes);
}

}  // namespace
}  // namespace pelorix::app
