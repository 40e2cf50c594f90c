#include "store_fixture.h"

namespace pelorix::test {
namespace {

const QString kControlDocument = R"(<?xml version="1.0"?>
<OrvaneTrellisService>
  <processes>
    <process name="PelorixService"><targetstatus>1</targetstatus><currentstatus>1</currentstatus></process>
    <process name="HavrelService"><targetstatus>2</targetstatus><currentstatus>3</currentstatus></process>
  </processes>
</OrvaneTrellisService>)";

const QString kPxsTarget = R"(processes/process[@name="PelorixService"]/targetstatus)";
const QString kHvsTarget = R"(processes/process[@name="HavrelService"]/targetstatus)";
const QString kHvsCurrent = R"(processes/process[@name="HavrelService"]/currentstatus)";

using GetValue = StoreFixture;

TEST_F(GetValue, GivesTheDefaultBeforeAnyLoad) {
    EXPECT_EQ(store.XMLGetValue("a", "dflt"), "dflt");
}

TEST_F(GetValue, SelectsByPredicateAndAtAnyDepth) {
    loadText(kControlDocument);
    EXPECT_EQ(store.XMLGetValue(kHvsTarget, "x"), "2");
    EXPECT_EQ(store.XMLGetValue(kHvsCurrent, "x"), "3");
    // The first step matches at any depth; the first match in document order wins.
    EXPECT_EQ(store.XMLGetValue("targetstatus", "x"), "1");
    EXPECT_EQ(store.XMLGetValue("process/currentstatus", "x"), "1");
    EXPECT_EQ(store.XMLGetValue(R"(process[@name="Other"]/currentstatus)", "x"), "x");
    EXPECT_EQ(store.XMLGetValue("processes/targetstatus", "x"), "x");
}

TEST_F(GetValue, FirstElementInDocumentOrderAlsoWhenNestedDeeper) {
    loadText("<r><x><a>deep</a></x><a>shallow</a></r>");
    EXPECT_EQ(store.XMLGetValue("a", "x"), "deep");
}

TEST_F(GetValue, EmptyElementGivesEmptyTextNotTheDefault) {
    loadText("<r><a/><b></b></r>");
    EXPECT_EQ(store.XMLGetValue("a", "dflt"), "");
    EXPECT_EQ(store.XMLGetValue("b", "dflt"), "");
    EXPECT_FALSE(store.XMLGetValue("a", "dflt").isNull());
}

TEST_F(GetValue, TextConcatenatesAllDescendants) {
    loadText("<r><a>x<b>y<c>z</c></b>w<![CDATA[<v>]]><!-- no --></a></r>");
    EXPECT_EQ(store.XMLGetValue("a", "dflt"), "xyzw<v>");
}

TEST_F(GetValue, PathsThatSelectNoElementGiveTheDefault) {
    loadText(R"(<r a="1"><b>t</b></r>)");
    for (const QString& path : QStringList{"", "/", "r/@a", "b/text()", "r//", "b'", "b[", "r]",
                                           "$v", "b = 1", "count(b)", "b[@x=\"1\"", "\"", "r/b[",
                                           QString(QChar(0)) + "b", "b\"]|//r", "r/../.."}) {
        EXPECT_EQ(store.XMLGetValue(path, "dflt"), "dflt") << path.toStdString();
    }
}

using SetValue = StoreFixture;

TEST_F(SetValue, CreatesTheWholePathInAnEmptyDocument) {
    EXPECT_FALSE(store.XMLLoadText(""));  // leaves an empty document
    store.XMLSetValue("a/b/c", "v");
    EXPECT_EQ(outline(), "<a><b><c>v</c></b></a>");
    EXPECT_EQ(store.XMLGetValue("a/b/c", "x"), "v");
}

TEST_F(SetValue, ReplacesTheWholeContentOfAnExistingElement) {
    loadText(R"(<r><a k="1">x<b>y</b><c/></a></r>)");
    store.XMLSetValue("a", "v");
    EXPECT_EQ(outline(), R"(<r><a k="1">v</a></r>)");
}

TEST_F(SetValue, AppendsAMissingLastElementAsTheParentsLastChild) {
    loadText("<p><q>1</q></p>");
    store.XMLSetValue("p/r", "v");
    EXPECT_EQ(outline(), "<p><q>1</q><r>v</r></p>");
    store.XMLSetValue("p/s/t", "w");
    EXPECT_EQ(outline(), "<p><q>1</q><r>v</r><s><t>w</t></s></p>");
}

TEST_F(SetValue, MissingFirstStepUnderAnExistingDocumentElementChangesNothing) {
    loadText("<a><b/></a>");
    store.XMLSetValue("z/b", "v");
    store.XMLSetValue("z", "v");
    EXPECT_EQ(outline(), "<a><b></b></a>");
}

TEST_F(SetValue, StepsWithAPredicateAreNotCreated) {
    loadText(
        R"(<s><processes><process name="Other"><targetstatus>1</targetstatus></process></processes></s>)");
    store.XMLSetValue(kPxsTarget, "0");
    EXPECT_EQ(
        outline(),
        R"(<s><processes><process name="Other"><targetstatus>1</targetstatus></process></processes></s>)");
}

TEST_F(SetValue, WritesTheTargetOfTheNamedProcessOnly) {
    loadText(kControlDocument);
    store.XMLSetValue(kHvsTarget, "0");
    EXPECT_EQ(store.XMLGetValue(kHvsTarget, "x"), "0");
    EXPECT_EQ(store.XMLGetValue(kPxsTarget, "x"), "1");
    EXPECT_EQ(store.XMLGetValue(kHvsCurrent, "x"), "3");
}

TEST_F(SetValue, NothingHappensBeforeAnyLoad) {
    store.XMLSetValue("a/b", "v");
    EXPECT_EQ(store.XMLGetValue("a/b", "x"), "x");
    EXPECT_FALSE(store.XMLSave(temp.file("none.xml")));
}

TEST_F(SetValue, OddPathsNeitherCrashNorChangeTheDocument) {
    loadText("<a><b>1</b></a>");
    for (const QString& path :
         QStringList{"", "/", "//", "/a/b", "a/b'", "a/b[", "a/]", "a/b c", "a/1b", "a/$v", "a/\"",
                     "a/b[@x=\"1\"", "a/*/x[", "a/.."}) {
        store.XMLSetValue(path, "v");
        EXPECT_EQ(outline(), "<a><b>1</b></a>") << path.toStdString();
    }
}

TEST_F(SetValue, ValuesAndNamesBeyondAsciiSurviveASave) {
    loadText("<a/>");
    store.XMLSetValue("a/Größe", "<Wert & ä€>");
    // The outline shows the text as parsed back, so escaping is undone.
    EXPECT_EQ(outline(), "<a><Größe><Wert & ä€></Größe></a>");
    EXPECT_TRUE(store.XMLLoadFile(temp.file("outline.xml")));
    EXPECT_EQ(store.XMLGetValue("Größe", "x"), "<Wert & ä€>");
}

}  // namespace
}  // namespace pelorix::test
