// The record field reader against the system's XML DOM itself (MSXML through the document wrapper, with
// white space not preserved): generated values of blanks, tabs, line ends, references, CDATA sections,
// comments and nested elements, under xml:space set at every level, must read the same both ways.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "export/ClearinghouseLayout.h"
#include "export/ClearinghousePage.h"
#include "export/RecordFields.h"
#include "export/XmlDocument.h"
#include "tests/export/ComFixture.h"

using namespace VesqaXml;

namespace {

using Fields = std::vector<std::pair<std::wstring, std::wstring>>;

class RecordFieldsMsxml : public ComTest
{
};

Fields ReadFast(const std::wstring& xml)
{
    Fields fields;
    EXPECT_TRUE(ReadRecordFields(xml, [&](const wchar_t* name, size_t length, const std::wstring& text) {
        fields.emplace_back(std::wstring(name, length), text);
    })) << "not read";
    return fields;
}

// The fields as the page builder reads them through the DOM: the document element's topmostSubform
// child, its element children, each one's name and text.
Fields ReadWithDom(const std::wstring& xml)
{
    Fields fields;
    CXmlDocument document;
    EXPECT_TRUE(document.LoadXml(xml)) << "the DOM refused the document";
    CXmlNodePtr root = document.GetRoot();
    CXmlNodePtr subform = root ? root->GetChild(L"topmostSubform") : nullptr;
    CXmlNodesPtr children = subform ? subform->GetChildren() : nullptr;
    EXPECT_NE(nullptr, children);
    for (int i = 0; children && i < children->GetCount(); ++i)
    {
        CXmlNodePtr child = children->GetItem(i);
        fields.emplace_back(child->GetName(), child->GetText());
    }
    return fields;
}

// Characters made visible for failure messages.
std::string Visible(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
    {
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
        {
            char code[12];
            snprintf(code, sizeof code, "\\x%X;", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

const wchar_t* const kSpaceSettings[] = {L"",
                                         L" xml:space='preserve'",
                                         L" xml:space='default'",
                                         L" xml:space=\"preserve\"",
                                         L" xml:space='other'",
                                         L" xml:space='&#112;reserve'",
                                         L" xml:space=' preserve'",
                                         L" a='1' xml:space='preserve' b=\"&amp;\""};
const int kSpaceSettingCount = sizeof kSpaceSettings / sizeof kSpaceSettings[0];

// Field contents made of pieces. Not generated: white space next to markup (a section, a comment, an
// element) in the middle of a value, and elements with text inside a field; there the DOM drops white
// space or makes one blank of it, which the reader does not copy (record fields hold no such content).
class ValueMaker
{
public:
    explicit ValueMaker(unsigned seed) : m_random(seed) {}

    std::wstring Content()
    {
        static const wchar_t* const kSolid[] = {L"x", L"YES", L"12", L"a b", L"&amp;", L"&lt;", L"&#xA0;", L"\xA0"};
        static const wchar_t* const kBlank[] = {L" ",     L"  ",     L"\t",    L"\n",     L"\r",  L"\r\n",
                                                L"&#32;", L"&#x20;", L"&#9;", L"&#10;", L"&#13;", L"&#xD;&#xA;"};
        static const wchar_t* const kMarkup[] = {L"<!-- c -->",         L"<?pi x?>",       L"<![CDATA[]]>", L"<![CDATA[ ]]>",
                                                 L"<![CDATA[ y\r\n]]>", L"<![CDATA[\t]]>", L"<i/>"};
        std::wstring content;
        bool afterMarkup = false, afterBlank = false;
        const int count = Pick(7);
        for (int i = 0; i < count; ++i)
        {
            int kind = Pick(afterMarkup ? 2 : 3);
            if (kind == 1 && afterBlank)
                kind = 0;
            afterBlank = kind == 2;
            if (kind == 0)
            {
                content += kSolid[Pick(sizeof kSolid / sizeof kSolid[0])];
                afterMarkup = false;
            }
            else if (kind == 2)
                content += kBlank[Pick(sizeof kBlank / sizeof kBlank[0])];
            else
            {
                content += kMarkup[Pick(sizeof kMarkup / sizeof kMarkup[0])];
                afterMarkup = true;
            }
        }
        return content;
    }
    const wchar_t* Space() { return kSpaceSettings[Pick(kSpaceSettingCount)]; }

private:
    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
    std::mt19937 m_random;
};

} // namespace

TEST_F(RecordFieldsMsxml, TheDomItselfTrimsPlainWhiteSpaceOnly)
{
    // Anchors for the comparison below: what the DOM gives, literally.
    const Fields dom = ReadWithDom(L"<r><topmostSubform><a>  12  </a><b>YES </b><c>   </c><d>a\r\nb\rc</d>"
                                   L"<e> <![CDATA[ x ]]> </e><f xml:space='preserve'> p </f><g>&#32;q&#9;</g>"
                                   L"</topmostSubform></r>");
    const Fields expected = {{L"a", L"12"}, {L"b", L"YES"},     {L"c", L""},  {L"d", L"a\nb\nc"},
                             {L"e", L" x "}, {L"f", L" p "}, {L"g", L"q"}};
    EXPECT_EQ(expected, dom);
}

TEST_F(RecordFieldsMsxml, GeneratedValuesReadAsTheDomReadsThem)
{
    ValueMaker maker(20261207);
    int compared = 0;
    for (int document = 0; document < 250; ++document)
    {
        std::wstring xml = L"<r" + std::wstring(maker.Space()) + L"><topmostSubform" + maker.Space() + L">";
        for (int field = 0; field < 8; ++field)
        {
            const std::wstring name = L"f" + std::to_wstring(field);
            xml += L"<" + name + maker.Space() + L">" + maker.Content() + L"</" + name + L">";
        }
        xml += L"</topmostSubform></r>";
        const Fields dom = ReadWithDom(xml);
        const Fields fast = ReadFast(xml);
        ASSERT_EQ(dom.size(), fast.size()) << Visible(xml);
        for (size_t i = 0; i < dom.size(); ++i)
        {
            EXPECT_EQ(dom[i].first, fast[i].first);
            EXPECT_EQ(Visible(dom[i].second), Visible(fast[i].second)) << "field " << i << " of " << Visible(xml);
            ++compared;
        }
        if (HasFailure())
            break;
    }
    EXPECT_EQ(2000, compared);
}

TEST_F(RecordFieldsMsxml, PaddedValuesAreShapedAsTheirTrimmedText)
{
    // "YES " is a mark, a padded amount stands right-aligned, and a blank value overwrites nothing
    // that an earlier field wrote across its place.
    const std::wstring page = BuildClearinghousePage(
        L"<r><topmostSubform><_1_MEDICARE----0-_1_MEDICARE>ABCDEFGHIJKLMN</_1_MEDICARE----0-_1_MEDICARE><_1_MEDICAID----1-_1_MEDICAID>   </_1_MEDICAID----1-_1_MEDICAID>"
        L"<_1_TRICARE_CHAMPUS----2-_1_TRICARE_CHAMPUS>YES </_1_TRICARE_CHAMPUS----2-_1_TRICARE_CHAMPUS>"
        L"<_28_Total_Charges_Dollars----201-_28_Total_Charges_Dollars>\r\n  12  \r\n</_28_Total_Charges_Dollars----201-_28_Total_Charges_Dollars></topmostSubform></r>");
    const std::wstring row7 = page.substr(6 * 92, 90);
    EXPECT_EQ(L" ABCDEFGHIJKLMN X ", row7.substr(0, 18));
    const std::wstring row55 = page.substr(54 * 92, 90);
    EXPECT_EQ(L"     12", row55.substr(53, 7));
    // With xml:space="preserve" the blanks are the value, as the DOM gives them.
    const std::wstring kept = BuildClearinghousePage(
        L"<r xml:space='preserve'><topmostSubform><_1_MEDICARE----0-_1_MEDICARE>ABCDEFGHIJKLMN</_1_MEDICARE----0-_1_MEDICARE>"
        L"<_1_MEDICAID----1-_1_MEDICAID>   </_1_MEDICAID----1-_1_MEDICAID><_1_TRICARE_CHAMPUS----2-_1_TRICARE_CHAMPUS>YES </_1_TRICARE_CHAMPUS----2-_1_TRICARE_CHAMPUS></topmostSubform></r>");
    EXPECT_EQ(L" ABCDEFGH   LMN YES ", kept.substr(6 * 92, 20));
}
