// The public handles as the application uses them: loading, navigation, child contents, swaps,
// the result ring, handle lifetimes and the utf8 flag.
#include <gtest/gtest.h>
#include <memory>
#include "tests/support/TempFolder.h"
#include "xml/XkXml.h"
#include "xml/XString.h"

namespace {

using Handle = std::unique_ptr<XkXml>;

const char kRecords[] =
    "<?xml version=\"1.0\"?><records><rec><name>Cy</name><amt>3</amt></rec>"
    "<rec><name>Ann</name><amt>1</amt><note/></rec><rec><name>Bob</name><amt>2</amt></rec></records>";

TEST(XkXml, NewHandleIsTheLoneUnnamedElement)
{
    XkXml xml;
    EXPECT_STREQ(xml.getXml(), "\r\n<unnamed />\r\n");
    EXPECT_EQ(xml.NumChildren(), 0);
}

TEST(XkXml, NavigateAndReadContents)
{
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml(kRecords));
    Handle root(xml.GetRoot());
    ASSERT_TRUE(root);
    EXPECT_EQ(root->NumChildren(), 3);
    Handle second(root->GetChild(1));
    ASSERT_TRUE(second);
    EXPECT_STREQ(second->getChildContent("name"), "Ann");
    EXPECT_STREQ(second->getChildContent("note"), "");
    EXPECT_EQ(second->getChildContent("missing"), nullptr);
    EXPECT_EQ(second->getChildContent(" name"), nullptr) << "content lookups are not trimmed";
    Handle byTag(root->GetChildWithTag("  rec \t"));
    ASSERT_TRUE(byTag);
    EXPECT_STREQ(byTag->getChildContent("name"), "Cy");
    EXPECT_EQ(root->GetChild(-1), nullptr);
    EXPECT_EQ(root->GetChild(3), nullptr);
    EXPECT_EQ(root->GetChildWithTag("none"), nullptr);
    Handle back(second->GetRoot());
    EXPECT_EQ(back->NumChildren(), 3);
}

TEST(XkXml, SortBySwappingLikeTheStatementBuilder)
{
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml(kRecords));
    Handle root(xml.GetRoot());
    int n = root->NumChildren();
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            Handle a(root->GetChild(i)), b(root->GetChild(j));
            if (std::string(a->getChildContent("amt")) > b->getChildContent("amt")) {
                ASSERT_TRUE(a->SwapNode(b.get()));
            }
        }
    EXPECT_STREQ(root->getXml(),
                 "<?xml version=\"1.0\" ?>\r\n\r\n<records>\r\n"
                 "    <rec>\r\n        <name>Ann</name>\r\n        <amt>1</amt>\r\n        <note />\r\n    </rec>\r\n"
                 "    <rec>\r\n        <name>Bob</name>\r\n        <amt>2</amt>\r\n    </rec>\r\n"
                 "    <rec>\r\n        <name>Cy</name>\r\n        <amt>3</amt>\r\n    </rec>\r\n</records>\r\n");
}

TEST(XkXml, FailedLoadKeepsTheDocument)
{
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml("<a><b/></a>"));
    EXPECT_FALSE(xml.LoadXml(""));
    EXPECT_FALSE(xml.LoadXml("<!-- only a comment -->"));
    EXPECT_FALSE(xml.LoadXml("only text"));
    EXPECT_FALSE(xml.LoadXml(nullptr));
    EXPECT_EQ(xml.NumChildren(), 1);
}

TEST(XkXml, ShortNamesEndingInXmlAreFiles)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File(L"t.xml"), "<f><g/></f>"));
    XString path;
    path.setFromUtf16(folder.File(L"T.XML").c_str());
    std::string name = path.getAnsi();
    ASSERT_LT(name.size(), 95u);
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml(("  " + name + " ").c_str()));
    EXPECT_EQ(xml.NumChildren(), 1);
    // Blanks do not count towards the limit; the name itself does.
    ASSERT_TRUE(xml.LoadXml((std::string(120, ' ') + name).c_str()));
    std::string longName = name.substr(0, name.size() - 5) + std::string(100, 'x') + "t.xml";
    EXPECT_FALSE(xml.LoadXml(longName.c_str()));
    EXPECT_FALSE(xml.LoadXml(name.substr(0, name.size() - 5).append("none.xml").c_str()));
    EXPECT_EQ(xml.NumChildren(), 1);
}

TEST(XkXml, ResultRingKeepsTenTexts)
{
    XkXml xml;
    std::string text = "<r>";
    for (int i = 0; i < 11; ++i)
        text += "<c" + std::to_string(i) + ">v" + std::to_string(i) + "</c" + std::to_string(i) + ">";
    ASSERT_TRUE(xml.LoadXml((text + "</r>").c_str()));
    const char* results[11];
    for (int i = 0; i < 10; ++i)
        results[i] = xml.getChildContent(("c" + std::to_string(i)).c_str());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(std::string(results[i]), "v" + std::to_string(i));
    results[10] = xml.getChildContent("c10");
    EXPECT_STREQ(results[10], "v10");
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(std::string(results[i]), "v" + std::to_string(i)) << "the eleventh reused only the first slot";
}

TEST(XkXml, SwapEdgeCases)
{
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml("<r><a><b/></a></r>"));
    Handle a(xml.GetChild(0));
    Handle b(a->GetChild(0));
    std::string before = xml.getXml();
    EXPECT_TRUE(a->SwapNode(a.get()));
    EXPECT_FALSE(a->SwapNode(nullptr));
    EXPECT_FALSE(a->SwapNode(b.get())) << "a node cannot become its own descendant";
    EXPECT_FALSE(b->SwapNode(&xml));
    EXPECT_EQ(xml.getXml(), before);
}

TEST(XkXml, DocumentLivesWhileAnyHandleStandsOnIt)
{
    auto root = std::make_unique<XkXml>();
    ASSERT_TRUE(root->LoadXml("<r><a><x>1</x></a><b/></r>"));
    Handle a(root->GetChild(0));
    root.reset();
    EXPECT_STREQ(a->getChildContent("x"), "1");
    Handle top(a->GetRoot());
    a.reset();
    EXPECT_EQ(top->NumChildren(), 2);
}

TEST(XkXml, SwapAcrossDocumentsMovesTheirLifetimes)
{
    auto one = std::make_unique<XkXml>();
    auto two = std::make_unique<XkXml>();
    ASSERT_TRUE(one->LoadXml("<one><a><a1>deep</a1></a></one>"));
    ASSERT_TRUE(two->LoadXml("<two><b>bee</b></two>"));
    Handle a(one->GetChild(0));
    Handle a1(a->GetChild(0));
    Handle b(two->GetChild(0));
    ASSERT_TRUE(a->SwapNode(b.get()));
    EXPECT_STREQ(one->getXml(), "\r\n<one>\r\n    <b>bee    </b>\r\n</one>\r\n");
    // a1 now lives in document two; it keeps that document alive after every other handle on it goes.
    two.reset();
    b.reset();
    Handle twoRoot(a1->GetRoot());
    EXPECT_STREQ(twoRoot->getXml(), "\r\n<two>\r\n    <a>\r\n        <a1>deep</a1>\r\n    </a>\r\n</two>\r\n");
    a1.reset();
    EXPECT_STREQ(twoRoot->getChildContent("a") , "");
    twoRoot.reset();
    EXPECT_EQ(one->NumChildren(), 1);
}

TEST(XkXml, AnsiTextSurvivesALoad)
{
    XkXml xml;
    ASSERT_TRUE(xml.LoadXml("<r><n\xE9>caf\xE9 \x80</n\xE9></r>"));
    EXPECT_STREQ(xml.getChildContent("n\xE9"), "caf\xE9 \x80");
    Handle child(xml.GetChildWithTag("n\xE9"));
    ASSERT_TRUE(child);
    EXPECT_STREQ(xml.getXml(), "\r\n<r>\r\n    <n\xE9>caf\xE9 \x80</n\xE9>\r\n</r>\r\n");
    xml.SetUtf8(true);
    EXPECT_STREQ(xml.getChildContent("n\xC3\xA9"), "caf\xC3\xA9 \xE2\x82\xAC");
    Handle utf8Child(xml.GetChildWithTag("n\xC3\xA9"));
    ASSERT_TRUE(utf8Child);
    EXPECT_STREQ(utf8Child->getXml(), "\r\n<n\xC3\xA9>caf\xC3\xA9 \xE2\x82\xAC</n\xC3\xA9>\r\n") << "flag copied";
}

TEST(XkXml, Utf8FlagTakesUtf8Text)
{
    XkXml xml;
    xml.SetUtf8(true);
    ASSERT_TRUE(xml.LoadXml("<r><n>\xCE\xA9</n></r>"));
    EXPECT_STREQ(xml.getChildContent("n"), "\xCE\xA9");
    XkString out;
    EXPECT_TRUE(xml.GetChildContent("n", out));
    EXPECT_STREQ(out.getStringUtf8(), "\xCE\xA9");
    xml.GetXml(out);
    EXPECT_STREQ(out.getStringUtf8(), "\r\n<r>\r\n    <n>\xCE\xA9</n>\r\n</r>\r\n");
}

} // namespace
