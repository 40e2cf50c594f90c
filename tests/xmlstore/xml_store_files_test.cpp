#include "store_fixture.h"

#include <QDir>
#include <QFile>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace pelorix::test {
namespace {

const QByteArray kDocument = "<r><status>1</status></r>";

using Load = StoreFixture;

TEST_F(Load, ReadsAFileWhoseNameDiffersInCase) {
    temp.write("Orvane/OTRS.xml", kDocument);
    EXPECT_TRUE(store.XMLLoad(temp.file("orvane/otrs.XML"), 0));
    EXPECT_EQ(store.XMLGetValue("status", "x"), "1");
}

TEST_F(Load, FailedLoadsLeaveAnEmptyDocument) {
    const QString missing = temp.file("missing.xml");
    const QString broken = temp.write("broken.xml", "<r><a>1</a>");
    const QString twoRoots = temp.write("two.xml", "<r/><s/>");
    const QString empty = temp.write("empty.xml", "");
    const QString fifo = temp.file("fifo.xml");  // nobody writes to it: must not block
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& file : QStringList{missing, broken, twoRoots, empty, fifo, temp.path()}) {
        ASSERT_TRUE(store.XMLLoad("<old>1</old>", 1));
        EXPECT_FALSE(store.XMLLoad(file, 0)) << file.toStdString();
        EXPECT_EQ(store.XMLGetValue("old", "x"), "x");
        EXPECT_EQ(store.XMLGetValue("r", "x"), "x");  // no partial tree of the broken file
        // Only an empty document takes a new document element.
        store.XMLSetValue("fresh", "v");
        EXPECT_EQ(outline(), "<fresh>v</fresh>") << file.toStdString();
    }
}

TEST_F(Load, ModeTwoLoadsNothingAndLeavesAnEmptyDocument) {
    ASSERT_TRUE(store.XMLLoad("<old>1</old>", 1));
    EXPECT_FALSE(store.XMLLoad("<new>1</new>", 2));
    EXPECT_EQ(store.XMLGetValue("new", "x"), "x");
    EXPECT_EQ(store.XMLGetValue("old", "x"), "x");
    store.XMLSetValue("a/b/c", "v");
    EXPECT_EQ(outline(), "<a><b><c>v</c></b></a>");
}

TEST_F(Load, HonoursTheDeclaredEncodingAndAByteOrderMark) {
    temp.write("ansi.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r>" +
                               cp1252("Grüße €") + "</r>");
    ASSERT_TRUE(store.XMLLoad(temp.file("ansi.xml"), 0));
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße €");

    temp.write("bom.xml", "\xEF\xBB\xBF<r>" + QString("Grüße").toUtf8() + "</r>");
    ASSERT_TRUE(store.XMLLoad(temp.file("bom.xml"), 0));
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße");
}

TEST_F(Load, TextIsParsedAsUnicodeWhateverItsDeclarationSays) {
    loadText("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>Grüße €</r>");
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße €");
}

using Save = StoreFixture;

TEST_F(Save, WritesToTheFileOfTheLastFileLoadEvenAfterAFailedLoad) {
    const QString file = temp.file("new.xml");
    EXPECT_FALSE(store.XMLLoad(file, 0));
    store.XMLSetValue("a/b", "v");
    EXPECT_TRUE(store.XMLSave(""));
    EXPECT_EQ(xmlOutline(temp.read("new.xml")), "<a><b>v</b></a>");
}

TEST_F(Save, AfterATextLoadAnEmptyNameWritesNothing) {
    loadText(QString::fromUtf8(kDocument));
    EXPECT_FALSE(store.XMLSave(""));
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}

TEST_F(Save, ATextLoadKeepsTheFileNameOfAnEarlierFileLoad) {
    temp.write("doc.xml", kDocument);
    ASSERT_TRUE(store.XMLLoad(temp.file("doc.xml"), 0));
    loadText("<other>2</other>");
    EXPECT_TRUE(store.XMLSave(""));
    EXPECT_EQ(xmlOutline(temp.read("doc.xml")), "<other>2</other>");
}

TEST_F(Save, ReplacesTheFileAndReadsBackAsSaved) {
    temp.write("doc.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r><status>" +
                              cp1252("ä") + "</status><!-- kept --></r>");
    ASSERT_TRUE(store.XMLLoad(temp.file("doc.xml"), 0));
    store.XMLSetValue("status", "0€");
    ASSERT_TRUE(store.XMLSave(""));
    const QByteArray saved = temp.read("doc.xml");
    EXPECT_TRUE(saved.contains("encoding=\"UTF-8\"")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("<!-- kept -->"));
    EXPECT_EQ(xmlOutline(saved), "<r><status>0€</status></r>");
    xmlstore::XmlStore reader(platform::defaultFileSystem());
    ASSERT_TRUE(reader.XMLLoad(temp.file("doc.xml"), 0));
    EXPECT_EQ(reader.XMLGetValue("status", "x"), "0€");
}

TEST_F(Save, AFailedSaveLeavesTheOldFileAsItWas) {
    const QString file = temp.write("doc.xml", kDocument);
    ASSERT_TRUE(store.XMLLoad(file, 0));
    store.XMLSetValue("status", "0");
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0444), 0);  // read-only: refused

    EXPECT_FALSE(store.XMLSave(""));
    EXPECT_EQ(temp.read("doc.xml"), kDocument);
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"doc.xml"});  // no temporary file left behind
    // The document in memory is still there to be saved elsewhere.
    EXPECT_TRUE(store.XMLSave(temp.file("copy.xml")));
    EXPECT_EQ(xmlOutline(temp.read("copy.xml")), "<r><status>0</status></r>");
}

// A file size limit makes every write past it fail, as a full disk would.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    sighandler_t previousHandler_;
};

TEST_F(Save, AWriteThatFailsHalfwayLeavesTheOldFileAsItWas) {
    const QString file = temp.write("doc.xml", kDocument);
    ASSERT_TRUE(store.XMLLoad(file, 0));
    store.XMLSetValue("status", QString(4000, 'q'));
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(store.XMLSave(""));
    }
    EXPECT_EQ(temp.read("doc.xml"), kDocument);
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"doc.xml"});
    EXPECT_TRUE(store.XMLSave(""));
    EXPECT_EQ(temp.read("doc.xml").count('q'), 4000);
}

TEST_F(Save, RefusesNamesThatCannotHoldTheDocument) {
    loadText(QString::fromUtf8(kDocument));
    temp.write("keep.xml", "keep");
    EXPECT_FALSE(store.XMLSave(temp.file("*.xml")));
    EXPECT_FALSE(store.XMLSave(temp.file("k??p.xml")));
    EXPECT_FALSE(store.XMLSave(temp.file("missing/doc.xml")));
    EXPECT_FALSE(store.XMLSave(temp.mkdir("folder")));
    EXPECT_EQ(temp.read("keep.xml"), "keep");
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"folder", "keep.xml"}));
}

using FileExists = StoreFixture;

TEST_F(FileExists, CountsFilesFoldersHiddenAndSystemEntries) {
    temp.write("OTRS.xml", kDocument);
    temp.write(".hidden", "");
    temp.mkdir("folder");
    ASSERT_EQ(mkfifo(QFile::encodeName(temp.file("pipe")).constData(), 0600), 0);
    EXPECT_TRUE(store.FileExists(temp.file("OTRS.xml")));
    EXPECT_TRUE(store.FileExists(temp.file("otrs.XML")));
    EXPECT_TRUE(store.FileExists(temp.file(".hidden")));
    EXPECT_TRUE(store.FileExists(temp.file("folder")));
    EXPECT_TRUE(store.FileExists(temp.file("pipe")));
    EXPECT_FALSE(store.FileExists(temp.file("missing.xml")));
    EXPECT_FALSE(store.FileExists(""));
}

TEST_F(FileExists, HonoursWildcards) {
    temp.write("OTRS.xml", kDocument);
    EXPECT_TRUE(store.FileExists(temp.file("*.xml")));
    EXPECT_TRUE(store.FileExists(temp.file("OT?S.*")));
    EXPECT_TRUE(store.FileExists(temp.file("*")));
    EXPECT_FALSE(store.FileExists(temp.file("*.txt")));
    EXPECT_FALSE(store.FileExists(temp.file("missing/*")));
}

}  // namespace
}  // namespace pelorix::test
