// The DOM wrapper over the system's MSXML: lookups, defaults written into empty nodes, handles that
// outlive their document, malformed text, and documents that try to read local files.
#include <gtest/gtest.h>

#include "export/XmlDocument.h"
#include "tests/export/ComFixture.h"
#include "tests/support/TempFolder.h"

using namespace VesqaXml;

namespace {

class XmlDocumentTest : public ComTest
{
};

std::wstring FileUrl(const std::wstring& path)
{
    std::wstring url = L"file:///" + path;
    for (wchar_t& c : url)
        if (c == L'\\')
            c = L'/';
    return url;
}

} // namespace

TEST_F(XmlDocumentTest, CreatesTheNewestDocumentPresent)
{
    CXmlDocument document;
    ASSERT_TRUE(document.Create());
    EXPECT_EQ(60, document.GetVersion()); // Wine ships MSXML 6
    document.Close();
    EXPECT_EQ(0, document.GetVersion());
    EXPECT_EQ(nullptr, document.GetRoot());
}

TEST_F(XmlDocumentTest, MalformedTextDoesNotLoad)
{
    CXmlDocument document;
    EXPECT_FALSE(document.LoadXml(L"<a><b></a>"));
    EXPECT_FALSE(document.LoadXml(L""));
    EXPECT_FALSE(document.LoadXml(L"plain text"));
    EXPECT_TRUE(document.LoadXml(L"<a/>"));
}

TEST_F(XmlDocumentTest, FindsNodesByNameAndPath)
{
    CXmlDocument document;
    ASSERT_TRUE(document.LoadXml(L"<fields xmlns:p='urn:x'><!-- note --><first>1</first>text"
                                 L"<p:second>two</p:second><first>again</first></fields>"));
    CXmlNodePtr root = document.GetRoot();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(L"fields", root->GetName());

    CXmlNodePtr first = root->GetChild(L"first");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L"1", first->GetText()); // the first of two
    CXmlNodePtr second = root->GetChild(L"second"); // by local name
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(L"p:second", second->GetName());
    EXPECT_EQ(nullptr, root->GetChild(L"third"));

    CXmlNodesPtr children = root->GetChildren();
    ASSERT_NE(nullptr, children);
    ASSERT_EQ(3, children->GetCount()); // elements only: no comment, no text
    EXPECT_EQ(L"again", children->GetItem(2)->GetText());
    EXPECT_EQ(nullptr, children->GetItem(3));
    EXPECT_EQ(nullptr, children->GetItem(-1));

    CXmlNodePtr byPath = document.GetNode(L"first[2]");
    ASSERT_NE(nullptr, byPath);
    EXPECT_EQ(L"again", byPath->GetText());
    EXPECT_EQ(nullptr, document.GetNode(L"nothing"));
    EXPECT_EQ(nullptr, root->SelectNode(L"((")); // a broken path finds nothing
}

TEST_F(XmlDocumentTest, NamesWithQuotesAreMatchedLiterally)
{
    CXmlDocument document;
    ASSERT_TRUE(document.LoadXml(L"<r><a>1</a><b>2</b></r>"));
    CXmlNodePtr root = document.GetRoot();
    ASSERT_NE(nullptr, root);
    // Pasted into a path these would select the first child.
    EXPECT_EQ(nullptr, root->GetChild(L"x' or '1'='1"));
    EXPECT_EQ(nullptr, root->GetChild(L"x\" or \"1\"=\"1"));
    // The DOM here accepts such a name for a new element; it is then found by that name, once.
    const std::wstring quoted = L"it's \"q\"";
    CXmlNodePtr made = root->GetChild(quoted, true);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(L"v", made->GetText(L"v"));
    CXmlNodePtr found = root->GetChild(quoted);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(L"v", found->GetText());
    ASSERT_NE(nullptr, root->GetChild(quoted, true));
    ASSERT_NE(nullptr, root->GetChildren());
    EXPECT_EQ(3, root->GetChildren()->GetCount());
}

TEST_F(XmlDocumentTest, CreatingAChildAppendsItOnce)
{
    CXmlDocument document;
    ASSERT_TRUE(document.LoadXml(L"<r><a>1</a></r>"));
    CXmlNodePtr root = document.GetRoot();
    ASSERT_NE(nullptr, root);
    CXmlNodePtr made = root->GetChild(L"made", true);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(L"made", made->GetName());
    EXPECT_EQ(L"x", made->GetText(L"x"));
    CXmlNodePtr again = root->GetChild(L"made", true);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(L"x", again->GetText()); // the same element
    CXmlNodesPtr children = root->GetChildren();
    ASSERT_EQ(2, children->GetCount());
    EXPECT_EQ(L"made", children->GetItem(1)->GetName()); // appended last
}

TEST_F(XmlDocumentTest, DefaultsAreWrittenIntoEmptyNodes)
{
    CXmlDocument document;
    ASSERT_TRUE(document.LoadXml(L"<r><n/><m>41</m><t/><u>kept</u></r>"));
    CXmlNodePtr root = document.GetRoot();
    EXPECT_EQ(0, root->GetChild(L"n")->GetInt(0));
    EXPECT_EQ(L"0", root->GetChild(L"n")->GetText());
    EXPECT_EQ(41, root->GetChild(L"m")->GetInt(7));
    EXPECT_EQ(-5, root->GetChild(L"t")->GetInt(-5));
    EXPECT_EQ(L"-5", root->GetChild(L"t")->GetText());
    EXPECT_EQ(L"kept", root->GetChild(L"u")->GetText(L"other"));
    CXmlNodePtr empty = root->GetChild(L"x", true);
    EXPECT_EQ(L"", empty->GetText());
    EXPECT_EQ(L"", root->GetChild(L"x")->GetText()); // no default: nothing written
}

TEST_F(XmlDocumentTest, HandlesOutliveTheirDocument)
{
    CXmlNodePtr child;
    {
        CXmlDocument document;
        ASSERT_TRUE(document.LoadXml(L"<r><a>kept</a></r>"));
        child = document.GetRoot()->GetChild(L"a");
    }
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(L"kept", child->GetText());
    EXPECT_EQ(L"a", child->GetName());
}

TEST_F(XmlDocumentTest, ExternalEntitiesNeverReadLocalFiles)
{
    TempFolder folder;
    const std::string secret = "SECRET-6e1f";
    ASSERT_TRUE(WriteWholeFile(folder.File(L"secret.txt"), secret));
    const std::wstring secretUrl = FileUrl(folder.File(L"secret.txt"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"outside.dtd"),
                               "<!ENTITY leak SYSTEM \"" + std::string(secretUrl.begin(), secretUrl.end()) + "\">"));
    const std::wstring documents[] = {
        L"<!DOCTYPE r [<!ENTITY leak SYSTEM \"" + FileUrl(folder.File(L"secret.txt")) + L"\">]><r>&leak;</r>",
        L"<!DOCTYPE r SYSTEM \"" + FileUrl(folder.File(L"outside.dtd")) + L"\"><r>&leak;</r>",
        L"<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + FileUrl(folder.File(L"outside.dtd")) + L"\"> %p;]><r>&leak;</r>",
    };
    for (const std::wstring& text : documents)
    {
        CXmlDocument document;
        if (!document.LoadXml(text))
            continue; // refusing the document is safe
        CXmlNodePtr root = document.GetRoot();
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(std::wstring::npos, root->GetText().find(L"SECRET")) << root->GetText();
    }
}
