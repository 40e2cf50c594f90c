#include "files/remove_folder.h"

#include "platform/file_system.h"
#include "support/forwarding_file_system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

namespace pelorix::files {
namespace {

using test::TempDir;

bool exists(const QString& path) {
    return QFileInfo::exists(path);
}

void makeReadOnly(const QString& path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

TEST(RemoveFolder, RemovesFilesAndSubfolders) {
    TempDir dir;
    dir.write("web/index.html", "a");
    dir.write("web/style.css", "b");
    dir.write("web/img/logo.png", "c");

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_FALSE(exists(dir.file("web")));
    EXPECT_TRUE(exists(dir.path()));
}

TEST(RemoveFolder, AcceptsOneTrailingSeparatorOfEitherKind) {
    for (const QString separator : {"/", "\\"}) {
        TempDir dir;
        dir.write("docs/a.pdf", "a");
        dir.write("docs/sub/b.pdf", "b");

        RemoveFolder(platform::defaultFileSystem(), dir.file("docs") + separator);

        EXPECT_FALSE(exists(dir.file("docs"))) << separator.toStdString();
    }
}

// A read-only file survives, so does every folder above it; the routine still ends and removes
// everything else, including entries listed after the surviving one.
TEST(RemoveFolder, EndsWhenAReadOnlyFileSurvives) {
    TempDir dir;
    dir.write("docs/a.txt", "a");
    dir.write("docs/b.txt", "b");
    dir.write("docs/keep/deeper/locked.txt", "x");
    dir.write("docs/keep/deeper/other.txt", "y");
    dir.write("docs/keep/z.txt", "z");
    dir.write("docs/zz/gone.txt", "g");
    makeReadOnly(dir.file("docs/keep/deeper/locked.txt"));

    RemoveFolder(platform::defaultFileSystem(), dir.file("docs"));

    EXPECT_TRUE(exists(dir.file("docs/keep/deeper/locked.txt")));
    EXPECT_FALSE(exists(dir.file("docs/keep/deeper/other.txt")));
    EXPECT_FALSE(exists(dir.file("docs/keep/z.txt")));
    EXPECT_FALSE(exists(dir.file("docs/a.txt")));
    EXPECT_FALSE(exists(dir.file("docs/b.txt")));
    EXPECT_FALSE(exists(dir.file("docs/zz")));
}

TEST(RemoveFolder, ReadOnlyFileDirectlyInsideKeepsOnlyItAndTheFolder) {
    TempDir dir;
    dir.write("web/a.html", "a");
    dir.write("web/locked.html", "l");
    dir.write("web/sub/c.html", "c");
    makeReadOnly(dir.file("web/locked.html"));

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_TRUE(exists(dir.file("web/locked.html")));
    EXPECT_FALSE(exists(dir.file("web/a.html")));
    EXPECT_FALSE(exists(dir.file("web/sub")));
}

TEST(RemoveFolder, HiddenFilesStayWithTheirFolder) {
    TempDir dir;
    dir.write("web/.hidden", "h");
    dir.write("web/shown.html", "s");

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_TRUE(exists(dir.file("web/.hidden")));
    EXPECT_FALSE(exists(dir.file("web/shown.html")));
}

TEST(RemoveFolder, MissingFolderOrAFileIsLeftQuietly) {
    TempDir dir;
    dir.write("plain.txt", "p");

    RemoveFolder(platform::defaultFileSystem(), dir.file("missing"));
    RemoveFolder(platform::defaultFileSystem(), dir.file("plain.txt"));

    EXPECT_TRUE(exists(dir.file("plain.txt")));
}

// A link to a folder elsewhere is removed as a link; what it points to is not part of the folder.
TEST(RemoveFolder, RemovesLinksWithoutFollowingThem) {
    TempDir dir;
    dir.write("elsewhere/precious.txt", "p");
    dir.write("web/a.html", "a");
    ASSERT_TRUE(QFile::link(dir.file("elsewhere"), dir.file("web/linked")));
    ASSERT_TRUE(QFile::link(dir.file("elsewhere/precious.txt"), dir.file("web/linked.txt")));

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_FALSE(exists(dir.file("web")));
    EXPECT_TRUE(exists(dir.file("elsewhere/precious.txt")));
}

// The folder itself may be a link to a shared folder: only the link goes.
TEST(RemoveFolder, AFolderThatIsALinkIsRemovedAsALink) {
    TempDir dir;
    dir.write("shared-web/index.html", "kept");
    ASSERT_TRUE(QFile::link(dir.file("shared-web"), dir.file("web")));

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_FALSE(QFileInfo(dir.file("web")).isSymLink());
    EXPECT_TRUE(exists(dir.file("shared-web/index.html")));
}

// An empty folder joined with a separator names the root; nothing may be touched then.
TEST(RemoveFolder, RefusesAnEmptyPath) {
    test::ForwardingFileSystem files;

    RemoveFolder(files, "");
    RemoveFolder(files, "/");
    RemoveFolder(files, "\\");

    EXPECT_TRUE(files.calls.isEmpty()) << files.calls.join("\n").toStdString();
}

}  // namespace
}  // namespace pelorix::files
