// Names the updater writes that an attacker or an old run left as links: the download replaces
// them and nothing outside the installation is written.

#include "e2e_fixture.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace pelorix::e2e {
namespace {

using E2eHostilePaths = EndToEnd;

TEST_F(E2eHostilePaths, ALinkAtADownloadNameIsReplacedNotWrittenThrough) {
    ASSERT_TRUE(QDir().mkpath(sandbox.path("outside")));
    const QString outside = sandbox.path("outside/PXS.exe");
    const QString temporary = sandbox.appFolder() + "/PXS.exe";
    ASSERT_EQ(
        ::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(temporary).constData()),
        0);

    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);

    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_FALSE(QFileInfo(sandbox.appFolder() + "/PelorixService.exe").isSymLink());
}

}  // namespace
}  // namespace pelorix::e2e
