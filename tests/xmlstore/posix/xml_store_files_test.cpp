#include "support/forwarding_file_system.h"
#include "xmlstore/document_bytes.h"
#include "xmlstore/store_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <new>

#include <sys/resource.h>
#include <sys/stat.h>

namespace pelorix::test {
namespace {

const QByteArray kDocument = "<r><status>1</status></r>";

using Load = StoreFixture;

TEST_F(Load, ReadsAFileWhoseNameDiffersInCase) {
    temp.write("Orvane/OTRS.xml", kDocument);
    EXPECT_TRUE(store.XMLLoadFile(temp.file("orvane/otrs.XML")));
    EXPECT_EQ(store.XMLGetValue("status", "x"), "1");
}

// `levels` elements, each inside the one before.
QByteArray nested(int levels) {
    return QByteArray("<a>").repeated(levels) + "1" + QByteArray("</a>").repeated(levels);
}

TEST_F(Load, FailedLoadsLeaveAnEmptyDocument) {
    const QString missing = temp.file("missing.xml");
    const QString broken = temp.write("broken.xml", "<r><a>1</a>");
    const QString twoRoots = temp.write("two.xml", "<r/><s/>");
    const QString empty = temp.write("empty.xml", "");
    const QString fifo = temp.file("fifo.xml");  // nobody writes to it: must not block
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Documents that could not be written back as they were do not parse either.
    const QString tooDeep = temp.write("deep.xml", nested(xmlstore::kMaxElementDepth + 1));
    const QString entities =
        temp.write("dtd.xml", "<!DOCTYPE r [<!ENTITY z \"0\">]><r><s>&z;</s></r>");
    const QString notUtf8 = temp.write("latin.xml",
                                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>Gr\xFC\xDF"
                                       "e</r>");
    // Each failure says why, a syntax error where it is.
    const std::pair<QString, QString> failures[] = {
        {missing, "No such file or directory"},
        {broken, "XML error at offset 10: Start-end tags mismatch"},
        {twoRoots, "XML with 2 document elements instead of one"},
        {empty, "XML error at offset 0: No document element found"},
        {fifo, "not a regular file"},
        {temp.path(), "not a regular file"},
        {tooDeep, "XML with elements nested deeper than 256 levels"},
        {entities, "XML with a document type declaration"},
        {notUtf8, "XML in bytes that are not UTF-8"},
    };
    for (const auto& [file, reason] : failures) {
        ASSERT_TRUE(store.XMLLoadText("<old>1</old>"));
        EXPECT_EQ(store.XMLLoadFile(file).reason(), reason) << file.toStdString();
        EXPECT_EQ(store.XMLGetValue("old", "x"), "x");
        EXPECT_EQ(store.XMLGetValue("r", "x"), "x");  // no partial tree of the broken file
        // Only an empty document takes a new document element.
        store.XMLSetValue("fresh", "v");
        EXPECT_EQ(outline(), "<fresh>v</fresh>") << file.toStdString();
    }
}

TEST_F(Load, AFailedTextLoadLeavesAnEmptyDocumentThatTakesNewElements) {
    ASSERT_TRUE(store.XMLLoadText("<old>1</old>"));
    EXPECT_FALSE(store.XMLLoadText("<new>1</new"));
    EXPECT_EQ(store.XMLGetValue("new", "x"), "x");
    EXPECT_EQ(store.XMLGetValue("old", "x"), "x");
    store.XMLSetValue("a/b/c", "v");
    EXPECT_EQ(outline(), "<a><b><c>v</c></b></a>");
}

TEST_F(Load, HonoursTheDeclaredEncodingAndAByteOrderMark) {
    temp.write("ansi.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r>" +
                               cp1252("Grüße €") + "</r>");
    ASSERT_TRUE(store.XMLLoadFile(temp.file("ansi.xml")));
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße €");

    temp.write("bom.xml", "\xEF\xBB\xBF<r>" + QString("Grüße").toUtf8() + "</r>");
    ASSERT_TRUE(store.XMLLoadFile(temp.file("bom.xml")));
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße");
}

TEST_F(Load, TextIsParsedAsUnicodeWhateverItsDeclarationSays) {
    loadText("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>Grüße €</r>");
    EXPECT_EQ(store.XMLGetValue("r", "x"), "Grüße €");
}

TEST_F(Load, ADocumentNestedUpToTheLimitLoads) {
    temp.write("deep.xml", nested(xmlstore::kMaxElementDepth));
    ASSERT_TRUE(store.XMLLoadFile(temp.file("deep.xml")));
    EXPECT_EQ(store.XMLGetValue("a", "x"), "1");
}

using Save = StoreFixture;

// Nothing is added to the layout: a deeply nested document is written back at its own size,
// and the whitespace between elements is kept (it is not part of any element's text).
TEST_F(Save, KeepsTheDocumentsOwnLayout) {
    const QByteArray layout =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n\t<p name=\"x\">\n   <status>1</status>"
        "\n\t</p>\n<!-- note -->\n</r>\n";
    const QString file = temp.write("doc.xml", layout);
    ASSERT_TRUE(store.XMLLoadFile(file));
    EXPECT_EQ(store.XMLGetValue("r/p", "x"), "1");
    store.XMLSetValue("p/status", "0");
    ASSERT_TRUE(store.XMLSave(""));
    EXPECT_EQ(temp.read("doc.xml"), QByteArray(layout).replace(">1<", ">0<"));

    const QByteArray deep = nested(xmlstore::kMaxElementDepth);
    temp.write("deep.xml", deep);
    ASSERT_TRUE(store.XMLLoadFile(temp.file("deep.xml")));
    ASSERT_TRUE(store.XMLSave(""));
    EXPECT_EQ(temp.read("deep.xml"), deep + "\n");
}

TEST_F(Save, WritesToTheFileOfTheLastFileLoadEvenAfterAFailedLoad) {
    const QString file = temp.file("new.xml");
    EXPECT_FALSE(store.XMLLoadFile(file));
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
    ASSERT_TRUE(store.XMLLoadFile(temp.file("doc.xml")));
    loadText("<other>2</other>");
    EXPECT_TRUE(store.XMLSave(""));
    EXPECT_EQ(xmlOutline(temp.read("doc.xml")), "<other>2</other>");
}

TEST_F(Save, ReplacesTheFileAndReadsBackAsSaved) {
    temp.write("doc.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r><status>" +
                              cp1252("ä") + "</status><!-- kept --></r>");
    ASSERT_TRUE(store.XMLLoadFile(temp.file("doc.xml")));
    store.XMLSetValue("status", "0€");
    ASSERT_TRUE(store.XMLSave(""));
    const QByteArray saved = temp.read("doc.xml");
    EXPECT_TRUE(saved.contains("encoding=\"UTF-8\"")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("<!-- kept -->"));
    EXPECT_EQ(xmlOutline(saved), "<r><status>0€</status></r>");
    xmlstore::XmlStore reader(platform::defaultFileSystem());
    ASSERT_TRUE(reader.XMLLoadFile(temp.file("doc.xml")));
    EXPECT_EQ(reader.XMLGetValue("status", "x"), "0€");
}

TEST_F(Save, AFailedSaveLeavesTheOldFileAsItWas) {
    const QString file = temp.write("doc.xml", kDocument);
    ASSERT_TRUE(store.XMLLoadFile(file));
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
    ASSERT_TRUE(store.XMLLoadFile(file));
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

// An interrupted save leaves its temporary file; the next save of the document removes it.
TEST_F(Save, RemovesTheTemporaryFilesOfAnInterruptedSave) {
    const QString file = temp.write("doc.xml", kDocument);
    temp.write(".~doc.xml.k3x9q1.tmp", "<r><st");
    temp.write(".~other.xml.k3x9q1.tmp", "other");
    temp.write(".~doc.xml.notes", "not a temporary file");
    ASSERT_TRUE(store.XMLLoadFile(file));
    ASSERT_TRUE(store.XMLSave(""));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{".~doc.xml.notes", ".~other.xml.k3x9q1.tmp", "doc.xml"}));
}

// A document that is a symbolic link is saved into the file it leads to; the link stays.
TEST_F(Save, WritesThroughASymbolicLink) {
    const QString target = temp.write("real/OTRS.xml", kDocument);
    const QString link = temp.file("OTRS.xml");
    ASSERT_TRUE(QFile::link("real/OTRS.xml", link));
    ASSERT_TRUE(store.XMLLoadFile(link));
    store.XMLSetValue("status", "0");
    ASSERT_TRUE(store.XMLSave(""));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(xmlOutline(temp.read("real/OTRS.xml")), "<r><status>0</status></r>");
    EXPECT_EQ(
        QDir(temp.file("real")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"OTRS.xml"});
}

// Files that fail by exception, as running out of memory does.
class ThrowingFiles : public ForwardingFileSystem {
  public:
    platform::Fallible<QByteArray> readFile(const QString&) const override {
        throw std::bad_alloc();
    }
    platform::Outcome replaceFileContents(const QString&, const QByteArray&) override {
        throw std::bad_alloc();
    }
};

TEST(StoreFailures, NoExceptionLeavesTheStore) {
    ThrowingFiles files;
    xmlstore::XmlStore store(files);
    EXPECT_EQ(store.XMLLoadFile("/nowhere/OTRS.xml").reason(), "stopped by an exception");
    EXPECT_EQ(store.XMLGetValue("status", "x"), "x");
    store.XMLSetValue("status", "0");
    EXPECT_EQ(store.XMLSave("").reason(), "stopped by an exception");
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
