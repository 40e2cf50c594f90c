// A program that cannot be started, or that gives no exit status, says why.

#include "platform/program_start.h"

#include <gtest/gtest.h>

namespace pelorix::platform {
namespace {

TEST(ProgramStart, AMissingProgramFailsWithTheSystemsReason) {
    ProgramStarter& programs = defaultProgramStarter();
    const QStringList missing{"/nonexistent/regsvr32", "/s"};

    EXPECT_EQ(programs.start(missing).reason(), "No such file or directory");
    EXPECT_EQ(programs.runToEnd(missing).reason(), "No such file or directory");
    EXPECT_EQ(programs.start({}).reason(), "no program named");
}

TEST(ProgramStart, AProgramRunToItsEndGivesItsStatusOrHowItEnded) {
    ProgramStarter& programs = defaultProgramStarter();

    EXPECT_EQ(programs.runToEnd({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(programs.runToEnd({"sh", "-c", "kill -9 $$"}).reason(), "ended by signal 9 (Killed)");
}

}  // namespace
}  // namespace pelorix::platform
