// Building one clearinghouse page: placing texts, shaping values (check marks, dollar amounts, long
// local-use and service-line texts) and reading a record's form XML.
#include <gtest/gtest.h>

#include "export/ClearinghousePage.h"
#include "tests/export/ComFixture.h"

namespace {

// A blank page made here, independently of the code under test.
std::wstring Blank()
{
    std::wstring page;
    for (int row = 0; row < 61; ++row)
        page += std::wstring(90, L' ') + L"\r\n";
    return page;
}

// Puts text at a 1-based column and row of a page made by Blank().
void Put(std::wstring& page, int column, int row, const std::wstring& text)
{
    page.replace(static_cast<size_t>(row - 1) * 92 + column - 1, text.size(), text);
}

std::wstring Line(const std::wstring& page, int row)
{
    return page.substr(static_cast<size_t>(row - 1) * 92, 90);
}

const char kDollars[] = "_28_Total_Charges_Dollars----201-_28_Total_Charges_Dollars";
const char kLocalUse[] = "_10d_RESERVED_FOR_LOCAL_USE----49-_10d_RESERVED_FOR_LOCAL_USE";
const char kServiceLine[] = "SERVICE_LINE_1----87-SERVICE_LINE_1";

class ClearinghousePageXml : public ComTest
{
};

} // namespace

TEST(ClearinghousePage, BlankPageIs61LinesOf90Blanks)
{
    const std::wstring page = BlankClearinghousePage();
    EXPECT_EQ(5612u, page.size());
    EXPECT_EQ(Blank(), page);
}

TEST(ClearinghousePage, PlacesTextCutAtColumn90)
{
    std::wstring page = BlankClearinghousePage();
    PlacePageText(page, L"ABC", {2, 1});
    PlacePageText(page, L"XYZ", {89, 61});   // two columns left
    PlacePageText(page, L"far", {91, 5});    // beyond column 90
    PlacePageText(page, L"low", {1, 62});    // beyond row 61
    PlacePageText(page, L"edge", {90, 3});
    std::wstring expected = Blank();
    Put(expected, 2, 1, L"ABC");
    Put(expected, 89, 61, L"XY");
    Put(expected, 90, 3, L"e");
    EXPECT_EQ(expected, page);
}

TEST(ClearinghousePage, ControlCharactersBecomeBlanks)
{
    std::wstring page = BlankClearinghousePage();
    PlacePageText(page, L"12 Main St\r\nApt 4\tB\x01", {2, 11});
    std::wstring expected = Blank();
    Put(expected, 2, 11, L"12 Main St  Apt 4 B ");
    EXPECT_EQ(expected, page);
}

TEST(ClearinghousePage, ShapesCheckMarksAndDollars)
{
    EXPECT_EQ(L"X", ShapeClearinghouseValue("_1_MEDICARE----0-_1_MEDICARE", L"YES"));
    EXPECT_EQ(L"Yes", ShapeClearinghouseValue("_1_MEDICARE----0-_1_MEDICARE", L"Yes"));
    EXPECT_EQ(L"yes", ShapeClearinghouseValue("_1_MEDICARE----0-_1_MEDICARE", L"yes"));
    EXPECT_EQ(L"     12", ShapeClearinghouseValue(kDollars, L"12"));
    EXPECT_EQ(L"1234567", ShapeClearinghouseValue(kDollars, L"1234567"));
    EXPECT_EQ(L"12345678", ShapeClearinghouseValue(kDollars, L"12345678"));
    EXPECT_EQ(L"", ShapeClearinghouseValue(kDollars, L""));
    EXPECT_EQ(L"   1500", ShapeClearinghouseValue("_24f_1_Charges_dollars----98-_24f_1_Charges_dollars", L"1500"));
    EXPECT_EQ(L"    300", ShapeClearinghouseValue("_20_OUTSIDE_LAB_CHARGES_DOLLARS----74-_20_OUTSIDE_LAB_CHARGES_DOLLARS",
                                                  L"300"));
    EXPECT_EQ(L"12", ShapeClearinghouseValue("_DOLLARS", L"12")); // only after the first character
    EXPECT_EQ(L"12", ShapeClearinghouseValue("_28_Total_Charges_Cents----202-_28_Total_Charges_Cents", L"12"));
}

TEST(ClearinghousePage, ShortensLocalUseAndServiceLineTexts)
{
    // 60 characters with "......" at position 10: ten characters go from there.
    const std::wstring dotted = L"ABCDEFGHIJ......" + std::wstring(44, L'k');
    ASSERT_EQ(60u, dotted.size());
    EXPECT_EQ(L"ABCDEFGHIJ" + std::wstring(40, L'k'), ShapeClearinghouseValue(kLocalUse, dotted));
    // Without dots or five blanks: cut at 50.
    std::wstring plain;
    for (int i = 0; i < 60; ++i)
        plain += static_cast<wchar_t>(L'a' + i % 26);
    EXPECT_EQ(plain.substr(0, 50), ShapeClearinghouseValue(kLocalUse, plain));
    // Five blanks at position 20 when there are no dots.
    const std::wstring spaced = std::wstring(20, L'a') + L"     " + std::wstring(35, L'b');
    EXPECT_EQ(std::wstring(20, L'a') + std::wstring(30, L'b'), ShapeClearinghouseValue(kLocalUse, spaced));
    EXPECT_EQ(std::wstring(50, L'q'), ShapeClearinghouseValue(kLocalUse, std::wstring(50, L'q')));
    // A service line of 80 characters with dots at 5 loses 12 characters from there.
    const std::wstring line = L"12345......" + std::wstring(69, L'z');
    ASSERT_EQ(80u, line.size());
    EXPECT_EQ(L"12345" + std::wstring(63, L'z'), ShapeClearinghouseValue(kServiceLine, line));
    EXPECT_EQ(std::wstring(68, L'z'), ShapeClearinghouseValue(kServiceLine, std::wstring(80, L'z')));
    EXPECT_EQ(std::wstring(68, L'z'), ShapeClearinghouseValue(kServiceLine, std::wstring(68, L'z')));
}

TEST_F(ClearinghousePageXml, PlacesTheRecordsFields)
{
    const std::wstring xml =
        L"<?xml version='1.0'?><fields><topmostSubform>"
        L"<_1_MEDICARE----0-_1_MEDICARE>YES</_1_MEDICARE----0-_1_MEDICARE>"
        L"<_1_MEDICAID----1-_1_MEDICAID>Yes</_1_MEDICAID----1-_1_MEDICAID>"
        L"<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
        L"Smith &amp; Sons</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
        L"<_28_Total_Charges_Dollars----201-_28_Total_Charges_Dollars>12</_28_Total_Charges_Dollars----201-_28_Total_Charges_Dollars>"
        L"<_30_Balance_Due_Charges_Cents----206-_30_Balance_Due_Charges_Cents>0099</_30_Balance_Due_Charges_Cents----206-_30_Balance_Due_Charges_Cents>"
        L"<unknown>ignored</unknown>"
        L"<_1_medicare----0-_1_medicare>case</_1_medicare----0-_1_medicare>"
        L"<SERVICE_LINE_2----105-SERVICE_LINE_2>second line</SERVICE_LINE_2----105-SERVICE_LINE_2>"
        L"</topmostSubform>"
        L"<_1_OTHER----6-_1_OTHER>outside the subform</_1_OTHER----6-_1_OTHER>"
        L"</fields>";
    int placed = 0;
    const ClearinghouseLayout layout;
    const std::wstring page = BuildClearinghousePage(xml, layout, &placed);
    std::wstring expected = Blank();
    Put(expected, 2, 7, L"X");
    Put(expected, 10, 7, L"Yes");
    Put(expected, 2, 9, L"Smith & Sons");
    Put(expected, 54, 55, L"     12");
    Put(expected, 87, 55, L"0099");
    Put(expected, 2, 45, L"second line");
    EXPECT_EQ(expected, page);
    EXPECT_EQ(6, placed);
    EXPECT_EQ(L" X       Yes", Line(page, 7).substr(0, 12));
}

TEST_F(ClearinghousePageXml, BrokenOrForeignXmlGivesTheBlankPage)
{
    int placed = -1;
    const ClearinghouseLayout layout;
    EXPECT_EQ(Blank(), BuildClearinghousePage(L"", layout, &placed));
    EXPECT_EQ(0, placed);
    EXPECT_EQ(Blank(), BuildClearinghousePage(L"<fields><topmostSubform>", layout));
    EXPECT_EQ(Blank(), BuildClearinghousePage(L"<fields><_1_MEDICARE----0-_1_MEDICARE>YES</_1_MEDICARE----0-_1_MEDICARE></fields>"));
    // topmostSubform must stand directly under the document element.
    EXPECT_EQ(Blank(), BuildClearinghousePage(L"<a><b><topmostSubform><_1_MEDICARE----0-_1_MEDICARE>YES"
                                              L"</_1_MEDICARE----0-_1_MEDICARE></topmostSubform></b></a>"));
}

TEST(ClearinghousePage, ADocumentTypeGivesTheBlankPage)
{
    EXPECT_EQ(Blank(), BuildClearinghousePage(L"<!DOCTYPE fields [<!ENTITY e \"inside\">]><fields><topmostSubform>"
                                              L"<_1_OTHER----6-_1_OTHER>&e;</_1_OTHER----6-_1_OTHER>"
                                              L"</topmostSubform></fields>"));
}

TEST_F(ClearinghousePageXml, InnerBlanksOfValuesAreKept)
{
    // The shortening looks for five blanks inside a value, so the DOM must hand them over.
    const std::wstring value = std::wstring(20, L'a') + L"     " + std::wstring(35, L'b');
    const std::wstring xml = L"<fields><topmostSubform><_10d_RESERVED_FOR_LOCAL_USE----49-_10d_RESERVED_FOR_LOCAL_USE>" +
                             value + L"</_10d_RESERVED_FOR_LOCAL_USE----49-_10d_RESERVED_FOR_LOCAL_USE></topmostSubform></fields>";
    std::wstring expected = Blank();
    Put(expected, 30, 25, std::wstring(20, L'a') + std::wstring(30, L'b'));
    EXPECT_EQ(expected, BuildClearinghousePage(xml));
}

TEST(ClearinghousePage, AnsiTextHasOneBytePerCharacter)
{
    std::wstring page = BlankClearinghousePage();
    PlacePageText(page, L"M\u00fcller \u20ac \U0001F600", {2, 9});
    const std::string bytes = PageToAnsi(page);
    ASSERT_EQ(5612u, bytes.size());
    EXPECT_EQ(std::string(" M\xfcller \x80 ?? "), bytes.substr(8 * 92, 13));
}
