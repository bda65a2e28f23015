// Reading the fields of a record's form XML: what counts as a field, how texts are decoded, and which
// documents are refused (malformed ones, and any with a document type, so nothing is ever fetched).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "export/RecordFields.h"

namespace {

using Fields = std::vector<std::pair<std::wstring, std::wstring>>;

bool Read(const std::wstring& xml, Fields& fields)
{
    fields.clear();
    return ReadRecordFields(xml, [&](const wchar_t* name, size_t length, const std::wstring& text) {
        fields.emplace_back(std::wstring(name, length), text);
    });
}

} // namespace

TEST(RecordFields, ReportsTheSubformsChildrenInOrder)
{
    Fields fields;
    ASSERT_TRUE(Read(L"<?xml version=\"1.0\"?>\r\n<!-- saved --><fields a='1'>"
                     L"<other><x>not a field</x></other>"
                     L"<topmostSubform><b>2</b><a k=\"v\">1</a><empty/><c>  two  blanks </c></topmostSubform>"
                     L"<topmostSubform><late>no</late></topmostSubform>"
                     L"</fields>\r\n", fields));
    // White space at either end of a value is not part of it (as the DOM reads it).
    const Fields expected = {{L"b", L"2"}, {L"a", L"1"}, {L"empty", L""}, {L"c", L"two  blanks"}};
    EXPECT_EQ(expected, fields);
}

TEST(RecordFields, DecodesReferencesSectionsAndNestedTexts)
{
    Fields fields;
    ASSERT_TRUE(Read(L"<r><p:topmostSubform xmlns:p='urn:p'>"
                     L"<f>M&#252;ller &amp; Co &lt;&gt;&quot;&apos;&#x41;</f>"
                     L"<g><![CDATA[a<b&c]]></g>"
                     L"<h>x<i>y</i><!-- c -->z<?pi?></h>"
                     L"<s>&#x1F600;</s>"
                     L"</p:topmostSubform></r>", fields));
    const Fields expected = {{L"f", L"M\u00fcller & Co <>\"'A"},
                             {L"g", L"a<b&c"},
                             {L"h", L"xyz"},
                             {L"s", L"\U0001F600"}};
    EXPECT_EQ(expected, fields);
}

TEST(RecordFields, TopmostSubformMustBeAChildOfTheDocumentElement)
{
    Fields fields;
    EXPECT_TRUE(Read(L"<r><s><topmostSubform><a>1</a></topmostSubform></s></r>", fields));
    EXPECT_TRUE(fields.empty());
    EXPECT_TRUE(Read(L"<topmostSubform><a>1</a></topmostSubform>", fields));
    EXPECT_TRUE(fields.empty());
}

TEST(RecordFields, RefusesMalformedDocuments)
{
    Fields fields;
    const wchar_t* broken[] = {
        L"",
        L"text",
        L"<r>",
        L"<r><topmostSubform><a>1</b></topmostSubform></r>",
        L"<r></r><r/>",
        L"<r></r>tail",
        L"<r><a>&unknown;</a></r>",
        L"<r><a>&#xD800;</a></r>",
        L"<r><a>& loose</a></r>",
        L"<r a=unquoted/>",
        L"<r a='1'b='2'/>",
        L"<r><!-- open</r>",
        L"<r><![CDATA[open</r>",
    };
    for (const wchar_t* text : broken)
        EXPECT_FALSE(Read(text, fields)) << std::string(text, text + wcslen(text));
}

TEST(RecordFields, RefusesAnyDocumentType)
{
    Fields fields;
    EXPECT_FALSE(Read(L"<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///C:/windows/win.ini\">]>"
                      L"<r><topmostSubform><a>&x;</a></topmostSubform></r>", fields));
    EXPECT_FALSE(Read(L"<!DOCTYPE r SYSTEM \"http://127.0.0.1:1/x.dtd\"><r/>", fields));
    EXPECT_FALSE(Read(L"<r><!DOCTYPE r><topmostSubform/></r>", fields));
}
