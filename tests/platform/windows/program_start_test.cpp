// The command line a started program reads back is the argument vector it was given.

#include "platform/program_start.h"
#include "platform/windows/command_line_quoting.h"
#include "platform/windows/win32_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

namespace pelorix::platform {
namespace {

struct QuotingCase {
    const char* name;
    QString argument;
    QString quoted;
};

class Quoting : public ::testing::TestWithParam<QuotingCase> {};

// Each argument is quoted as the reader expects and comes back whole from CommandLineToArgvW.
TEST_P(Quoting, GivesTheArgumentBack) {
    EXPECT_EQ(quotedArgument(GetParam().argument), GetParam().quoted);
    const QString line = "program.exe " + quotedArgument(GetParam().argument);
    int count = 0;
    wchar_t** words = CommandLineToArgvW(reinterpret_cast<const wchar_t*>(line.utf16()), &count);
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(QString::fromWCharArray(words[1]), GetParam().argument);
    LocalFree(words);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Quoting,
    ::testing::Values(QuotingCase{"Plain", "/s", "/s"}, QuotingCase{"Empty", "", "\"\""},
                      QuotingCase{"Blank", "C:\\Program Files\\a.dll",
                                  "\"C:\\Program Files\\a.dll\""},
                      QuotingCase{"BackslashesWithoutBlank", "C:\\a\\\\b", "C:\\a\\\\b"},
                      QuotingCase{"Quote", "say \"hi\"", "\"say \\\"hi\\\"\""},
                      QuotingCase{"BackslashBeforeQuote", "a\\\"b", "\"a\\\\\\\"b\""},
                      QuotingCase{"TrailingBackslash", "C:\\my dir\\", "\"C:\\my dir\\\\\""},
                      QuotingCase{"Tab", "a\tb", "\"a\tb\""},
                      QuotingCase{"Umlaut", "Grüße", "Grüße"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ProgramStart, AProgramRunToItsEndGivesItsExitStatus) {
    EXPECT_EQ(defaultProgramStarter().runToEnd({"cmd.exe", "/c", "exit 3"}), 3);
}

TEST(ProgramStart, AMissingProgramFailsWithTheSystemsReason) {
    ProgramStarter& programs = defaultProgramStarter();
    const QStringList missing{"C:/nonexistent/regsvr32.exe", "/s"};

    // Wine names the missing file, Windows may name the missing folder.
    const auto notFound =
        ::testing::AnyOf(errorText(ERROR_FILE_NOT_FOUND), errorText(ERROR_PATH_NOT_FOUND));
    EXPECT_THAT(programs.start(missing).reason(), notFound);
    EXPECT_THAT(programs.runToEnd(missing).reason(), notFound);
    EXPECT_EQ(programs.start({}).reason(), "no program named");
}

}  // namespace
}  // namespace pelorix::platform
