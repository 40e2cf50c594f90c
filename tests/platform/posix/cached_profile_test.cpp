#include "platform/cached_profile.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>

namespace pelorix::test {
namespace {

// Sets the file's modification time to the given one, to the nanosecond.
void setModified(const QString& path, const timespec& modified) {
    const timespec times[2] = {modified, modified};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

timespec modifiedOf(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mtim;
}

// Rewrites the file in place with bytes of the same length and puts its time back: no sign on
// disk tells the change.
void changeUnnoticeably(const QString& path, const QByteArray& bytes) {
    const timespec before = modifiedOf(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(bytes);
    file.close();
    setModified(path, before);
}

TEST(CachedProfile, AFileUnchangedOnDiskIsNotReadAgain) {
    TempDir dir;
    const QString path = dir.write("Language.ini", "[T]\r\nEN=one\r\n");
    platform::CachedProfile profile(platform::defaultFileSystem(), path);
    EXPECT_EQ(profile.read("T", "EN", "-"), "one");
    changeUnnoticeably(path, "[T]\r\nEN=two\r\n");
    EXPECT_EQ(profile.read("t", "en", "-"), "one");
    EXPECT_EQ(profile.read("T", "DE", "none  "), "none");  // ReadIni's answer for a missing key
}

struct Change {
    const char* name;
    std::function<void(const TempDir&, const QString& path)> apply;
};

class CachedProfileChange : public ::testing::TestWithParam<Change> {};

TEST_P(CachedProfileChange, IsSeenAtTheNextLookup) {
    TempDir dir;
    const QString path = dir.write("Language.ini", "[T]\r\nEN=one\r\n");
    platform::CachedProfile profile(platform::defaultFileSystem(), path);
    ASSERT_EQ(profile.read("T", "EN", "-"), "one");
    GetParam().apply(dir, path);
    EXPECT_EQ(profile.read("T", "EN", "-"), "two");
}

INSTANTIATE_TEST_SUITE_P(
    OnDiskOrOurOwn, CachedProfileChange,
    ::testing::Values(Change{"LongerFile",
                             [](const TempDir& dir, const QString&) {
                                 dir.write("Language.ini", "[T]\r\nEN=two\r\nDE=zwei\r\n");
                             }},
                      Change{"SameLengthNewTime",
                             [](const TempDir&, const QString& path) {
                                 changeUnnoticeably(path, "[T]\r\nEN=two\r\n");
                                 setModified(path, {12345, 678});
                             }},
                      Change{"ReplacedByAnotherFileOfTheSameLengthAndTime",
                             [](const TempDir& dir, const QString& path) {
                                 const QString other =
                                     dir.write("Language.tmp", "[T]\r\nEN=two\r\n");
                                 setModified(other, modifiedOf(path));
                                 ASSERT_TRUE(QFile::remove(path));
                                 ASSERT_TRUE(QFile::rename(other, path));
                             }},
                      Change{"OurOwnWrite",
                             [](const TempDir&, const QString& path) {
                                 platform::WriteIni(platform::defaultFileSystem(), path, "T", "EN",
                                                    "two");
                             }},
                      Change{"RemovedThenWritten",
                             [](const TempDir& dir, const QString& path) {
                                 ASSERT_TRUE(QFile::remove(path));
                                 dir.write("language.INI", "[T]\r\nEN=two\r\n");
                             }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(CachedProfile, OurOwnWriteIsSeenEvenWhenTheFileLooksTheSame) {
    TempDir dir;
    const QString path = dir.write("Language.ini", "[T]\r\nEN=one\r\n");
    const QString other = dir.write("Other.ini", "");
    platform::CachedProfile profile(platform::defaultFileSystem(), path);
    ASSERT_EQ(profile.read("T", "EN", "-"), "one");
    changeUnnoticeably(path, "[T]\r\nEN=two\r\n");
    platform::WriteIni(platform::defaultFileSystem(), other, "X", "Y",
                       "z");  // any write of ours may have been to this file
    EXPECT_EQ(profile.read("T", "EN", "-"), "two");
}

}  // namespace
}  // namespace pelorix::test
