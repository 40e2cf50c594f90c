#include "platform/file_stamp.h"
#include "platform/windows/file_system.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <QDir>

#include <windows.h>

namespace pelorix::platform {
namespace {

const wchar_t* wide(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

DWORD attributesOf(const QString& path) {
    return ::GetFileAttributesW(wide(QDir::toNativeSeparators(path)));
}

class WindowsFileAttributes : public ::testing::Test {
  protected:
    // A read-only file would keep the scratch folder from being removed.
    ~WindowsFileAttributes() override {
        for (const QString& name : namesIn()) {
            ::SetFileAttributesW(wide(QDir::toNativeSeparators(dir.file(name))),
                                 FILE_ATTRIBUTE_NORMAL);
        }
    }

    // True when the file system keeps the attributes (Wine stores them as extended attributes).
    bool setAttributes(const QString& path, DWORD attributes) {
        constexpr DWORD kTested =
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
        const QString native = QDir::toNativeSeparators(path);
        return ::SetFileAttributesW(wide(native), attributes) &&
               (attributesOf(path) & kTested) == (attributes & kTested);
    }

    QStringList namesIn() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    test::TempDir dir;
    WindowsFileSystem fs;
};

struct AttributeRow {
    const char* label;
    DWORD attributes;
    bool normalFile;  // also what entryExists answers for a file
    bool readOnly;
};

class AttributeLookups : public WindowsFileAttributes,
                         public ::testing::WithParamInterface<AttributeRow> {};

TEST_P(AttributeLookups, LookupsAndListingsReportTheRealAttributes) {
    const AttributeRow& row = GetParam();
    if (!setAttributes(dir.write("Item.DAT", "x"), row.attributes)) {
        GTEST_SKIP() << "the file system keeps no " << row.label << " attribute";
    }
    const QString item = dir.file("item.dat");
    EXPECT_EQ(fs.normalFileExists(item), row.normalFile);
    EXPECT_EQ(fs.entryExists(item), row.normalFile);
    EXPECT_EQ(fs.isReadOnly(item), row.readOnly);
    EXPECT_TRUE(fs.anyMatch(dir.file("ITEM.*")));  // find-first-file counts every entry

    const auto entries = fs.list(dir.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Item.DAT");
    EXPECT_FALSE(entries[0].isFolder);
    EXPECT_EQ(entries[0].isHidden, (row.attributes & FILE_ATTRIBUTE_HIDDEN) != 0);
    EXPECT_EQ(entries[0].isSystem, (row.attributes & FILE_ATTRIBUTE_SYSTEM) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, AttributeLookups,
    ::testing::Values(AttributeRow{"normal", FILE_ATTRIBUTE_NORMAL, true, false},
                      AttributeRow{"hidden", FILE_ATTRIBUTE_HIDDEN, false, false},
                      AttributeRow{"system", FILE_ATTRIBUTE_SYSTEM, false, false},
                      AttributeRow{"read-only", FILE_ATTRIBUTE_READONLY, true, true},
                      AttributeRow{"hidden read-only",
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false, true}));

TEST_F(WindowsFileAttributes, FoldersAreEntriesButNotFiles) {
    dir.mkdir("Docs");
    EXPECT_TRUE(fs.entryExists(dir.file("docs")));
    EXPECT_FALSE(fs.normalFileExists(dir.file("docs")));
    EXPECT_FALSE(fs.isReadOnly(dir.file("docs")));
    EXPECT_FALSE(fs.entryExists(dir.file("missing")));
    EXPECT_TRUE(fs.list(dir.file("missing")).empty());
}

TEST_F(WindowsFileAttributes, ReadOnlyFilesAreRefusedWithAReason) {
    const QString locked = dir.write("locked.dll", "old");
    const QString other = dir.write("other.dll", "new");
    ASSERT_TRUE(setAttributes(locked, FILE_ATTRIBUTE_READONLY));

    const Outcome refusals[] = {
        fs.deleteFile(dir.file("LOCKED.dll")), fs.replaceFileContents(locked, "new"),
        fs.copyFile(other, dir.file("Locked.dll"), true), fs.appendToFile(locked, "more")};
    for (const Outcome& refusal : refusals) {
        EXPECT_FALSE(refusal);
        EXPECT_FALSE(refusal.reason().isEmpty());
    }
    EXPECT_FALSE(fs.createFile(locked));
    EXPECT_EQ(dir.read("locked.dll"), QByteArray("old"));
    EXPECT_EQ(namesIn(), (QStringList{"locked.dll", "other.dll"}));  // no temporary left
}

TEST_F(WindowsFileAttributes, MoveRefusesAnExistingNameWhileReplaceOverwritesIt) {
    dir.write("new.ini", "new");
    dir.write("Language.ini", "old");
    const Outcome moved = fs.moveFile(dir.file("new.ini"), dir.file("language.ini"));
    EXPECT_FALSE(moved);
    EXPECT_FALSE(moved.reason().isEmpty());
    EXPECT_EQ(dir.read("Language.ini"), QByteArray("old"));

    ASSERT_TRUE(fs.replaceFileContents(dir.file("language.ini"), "replaced"));
    EXPECT_EQ(dir.read("Language.ini"), QByteArray("replaced"));
    // The name keeps its spelling on disk, and no temporary is left beside it.
    EXPECT_EQ(namesIn(), (QStringList{"Language.ini", "new.ini"}));
    EXPECT_TRUE(fs.moveFile(dir.file("NEW.ini"), dir.file("Other.ini")));
    EXPECT_EQ(dir.read("Other.ini"), QByteArray("new"));
}

TEST_F(WindowsFileAttributes, ReplacedAndCopiedFilesKeepTheirAttributes) {
    dir.write("plain.ini", "old");
    ASSERT_TRUE(fs.replaceFileContents(dir.file("plain.ini"), "new"));
    // The temporary is hidden while written; the file it becomes is not.
    EXPECT_TRUE(fs.normalFileExists(dir.file("plain.ini")));
    ASSERT_TRUE(fs.copyFile(dir.file("plain.ini"), dir.file("copy.ini"), false));
    EXPECT_TRUE(fs.normalFileExists(dir.file("copy.ini")));
    EXPECT_EQ(dir.read("copy.ini"), QByteArray("new"));
    EXPECT_FALSE(fs.copyFile(dir.file("plain.ini"), dir.file("COPY.ini"), false));
    EXPECT_FALSE(fs.copyFile(dir.file("plain.ini"), dir.file("PLAIN.ini"), true));

    if (!setAttributes(dir.write("secret.ini", "old"), FILE_ATTRIBUTE_HIDDEN)) {
        GTEST_SKIP() << "the file system keeps no hidden attribute";
    }
    ASSERT_TRUE(fs.replaceFileContents(dir.file("secret.ini"), "new"));
    EXPECT_NE(attributesOf(dir.file("secret.ini")) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(dir.read("secret.ini"), QByteArray("new"));
}

TEST_F(WindowsFileAttributes, WriterStreamsIntoAnExistingHiddenFile) {
    if (!setAttributes(dir.write("Download.part", "previous"), FILE_ATTRIBUTE_HIDDEN)) {
        GTEST_SKIP() << "the file system keeps no hidden attribute";
    }
    auto writer = fs.createFile(dir.file("download.PART"));
    ASSERT_TRUE(writer);
    EXPECT_EQ(dir.read("Download.part"), QByteArray());  // truncated at once
    ASSERT_TRUE(writer->write("first", 5));
    EXPECT_EQ(dir.read("Download.part"), QByteArray("first"));
    EXPECT_TRUE(writer->close());
    EXPECT_FALSE(fs.createFile(dir.file("nofolder/x.bin")));
}

TEST_F(WindowsFileAttributes, NamesResolveWithoutRegardToCase) {
    dir.write("App/Language.ini", "from disk");
    const QString root = fs.resolve(dir.path());
    EXPECT_EQ(fs.resolve(dir.file("app/LANGUAGE.ini")), root + "/App/Language.ini");
    EXPECT_EQ(fs.resolve(dir.file("APP\\missing\\x.ini")), root + "/App\\missing\\x.ini");
    EXPECT_EQ(fs.readFile(dir.file("APP/language.INI")), QByteArray("from disk"));
    EXPECT_TRUE(fs.normalFileExists(dir.file("app\\language.ini")));
    EXPECT_TRUE(fs.anyMatch(dir.file("app/LANG*.INI")));
    EXPECT_FALSE(fs.anyMatch(dir.file("app/")));
    EXPECT_FALSE(fs.readFile(dir.file("app")).has_value());
    const auto entries = fs.list(dir.file("APP/"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Language.ini");
}

TEST_F(WindowsFileAttributes, StampChangesWithAWriteAndAReplacement) {
    const QString file = dir.write("Pelorix.ini", "one");
    const FileStamp before = fileStamp(fs, dir.file("pelorix.INI"));
    EXPECT_TRUE(before.exists);
    EXPECT_EQ(before.size, 3);
    EXPECT_EQ(fileStamp(fs, file), before);

    ASSERT_TRUE(fs.appendToFile(file, "two"));
    const FileStamp appended = fileStamp(fs, file);
    EXPECT_EQ(appended.size, 6);
    EXPECT_GE(appended.modifiedNanoseconds, before.modifiedNanoseconds);
    EXPECT_EQ(appended.inode, before.inode);
    EXPECT_EQ(appended.device, before.device);

    ASSERT_TRUE(fs.replaceFileContents(file, "three!"));  // the same size, another file
    EXPECT_NE(fileStamp(fs, file).inode, appended.inode);
    EXPECT_FALSE(fileStamp(fs, dir.file("missing")).exists);
}

}  // namespace
}  // namespace pelorix::platform
