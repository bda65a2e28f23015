// The patient statement as shown and printed, on real windows: the letterhead drawn from its hidden
// fields (text in its font and size, the logo at its scales) and never their values as text, the
// amount due summed from the line balances (on the program's own statement only, never on a user's
// form with the same field names), its remit-to lines read-only, and its buttons shown on screen but
// never printed.
#include "ViewerWindowTest.h"
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/FieldCalculation.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

using viewer::TestControl;

namespace {

const double kPageHeight = 792;

bool Dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }
bool Black(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool Red(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 100; }
bool Blue(COLORREF c) { return GetBValue(c) > 140 && GetRValue(c) < 90 && GetGValue(c) < 130; }

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class StatementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestControl().Reset();
        ASSERT_TRUE(LoadIntoContainer(window, SamplePath(L"statement.pdf")));
        form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        ASSERT_EQ(L"", form->Error());
        ASSERT_TRUE(FindPaper(form->Hwnd(), paper));
        // The letterhead's box: where the statement PDF places its hidden letterhead fields.
        const pdf::FormDocument& pdf = form->Script().Form();
        int company = form->Script().FieldIndex(L"CompanyName");
        ASSERT_GE(company, 0);
        std::copy(pdf.fields[company].widgets[0].rect, pdf.fields[company].widgets[0].rect + 4, box);
    }
    void TearDown() override { TestControl().Reset(); }

    void Set(const std::wstring& elements)
    {
        window.Send(L"FieldSet|<r>" + elements + L"</r>");
        PumpPending();
    }
    double Scale() const { return paper.Scale(612); }
    // The letterhead box in window pixels.
    RECT Box() const
    {
        return RECT{static_cast<LONG>(paper.left + box[0] * Scale()), static_cast<LONG>(paper.top + (kPageHeight - box[3]) * Scale()),
                    static_cast<LONG>(paper.left + box[2] * Scale()), static_cast<LONG>(paper.top + (kPageHeight - box[1]) * Scale())};
    }
    // The pixels of the letterhead box as the window shows them now (not redrawn first: what was
    // set must have been painted by itself), that pass the test.
    template <typename Test>
    Ink InkInBox(Test test) const
    {
        return InkIn(WindowPixels(form->Hwnd(), false), Box(), test);
    }
    // The texts of the field controls shown.
    std::vector<std::wstring> ControlTexts() const
    {
        std::vector<std::wstring> texts;
        for (HWND child = GetWindow(form->Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            texts.push_back(text);
        }
        return texts;
    }
    HWND ControlOf(const wchar_t* name, size_t widget = 0)
    {
        int field = form->Script().FieldIndex(name);
        return field < 0 ? nullptr : form->ControlOf(static_cast<size_t>(field), widget);
    }

    TestBrowserWindow window;
    viewer::FormWindow* form = nullptr;
    PaperOnScreen paper;
    double box[4] = {0, 0, 0, 0};
};

const wchar_t kTextLetterhead[] = L"<TextLogo>1</TextLogo><CompanyName>Riverside Family Clinic</CompanyName>"
                                  L"<Font>Arial</Font><Size>18</Size><ImageField1></ImageField1>"
                                  L"<ImageLogoSize>1.000000</ImageLogoSize><Imagez2LogoSize>1.000000</Imagez2LogoSize>";

} // namespace

TEST_F(StatementTest, TextLetterheadIsDrawnInItsSizeAndItsValuesAreNotShown)
{
    EXPECT_EQ(0, InkInBox(Dark).count); // nothing before a letterhead is sent
    Set(kTextLetterhead);
    const Ink ink = InkInBox(Dark);
    ASSERT_GT(ink.count, 100);
    // "Riverside Family Clinic" in the sans-serif metrics (Python over the standard font's widths):
    // 10.111 em wide; from the tops of "R", "l", "d" to the tail of "y" about 0.93 em.
    const double em = 18 * Scale();
    EXPECT_NEAR(10.111 * em, ink.Width(), 0.04 * 10.111 * em);
    EXPECT_NEAR(0.93 * em, ink.Height(), 2.5);
    EXPECT_NEAR(Box().left, ink.left, 3);

    // Its size is the letterhead's: at 12 points two thirds as large.
    Set(L"<TextLogo>1</TextLogo><CompanyName>Riverside Family Clinic</CompanyName><Font>Arial</Font><Size>12</Size>");
    const Ink smaller = InkInBox(Dark);
    EXPECT_NEAR(10.111 * 12 * Scale(), smaller.Width(), 0.04 * 10.111 * 12 * Scale());

    // The values themselves have no control and no text of their own.
    for (const std::wstring& text : ControlTexts())
        for (const wchar_t* value : {L"Riverside Family Clinic", L"Arial", L"12", L"1"}) EXPECT_NE(value, text);
    EXPECT_EQ(nullptr, ControlOf(L"TextLogo"));
    EXPECT_EQ(nullptr, ControlOf(L"CompanyName"));
}

TEST_F(StatementTest, LogoIsDrawnAtItsScales)
{
    const std::wstring base64 = Widen(ReadWholeFile(std::wstring(FORMSTEAD_TEST_IMAGES_DIR) + L"letterhead_logo.b64"));
    const std::string scales = ReadWholeFile(std::wstring(FORMSTEAD_TEST_IMAGES_DIR) + L"letterhead_logo.scales");
    ASSERT_FALSE(base64.empty());
    const size_t blank = scales.find(' ');
    ASSERT_NE(std::string::npos, blank);
    const std::wstring imageSize = Widen(scales.substr(0, blank)), imagez2Size = Widen(scales.substr(blank + 1));
    ASSERT_EQ(L"0.675676", imageSize);

    Set(L"<TextLogo>0</TextLogo><CompanyName>Riverside Family Clinic</CompanyName><Font>Arial</Font><Size>18</Size>"
        L"<ImageField1>" + base64 + L"</ImageField1><ImageLogoSize>" + imageSize + L"</ImageLogoSize><Imagez2LogoSize>" +
        imagez2Size + L"</Imagez2LogoSize>");
    const Ink red = InkInBox(Red), blue = InkInBox(Blue);
    ASSERT_GT(red.count, 500);
    ASSERT_GT(blue.count, 500);
    EXPECT_LE(red.right, blue.left + 3); // red half left of the blue half
    // A logo relatively taller than the 646 x 148 box fills its height; its width is the box's
    // times the second scale over the first (300 x 100 in a box of 4.36 to 1: 0.687 of the width).
    const RECT area = Box();
    const double width = (area.right - area.left) * (300.0 / 646) / (100.0 / 148);
    EXPECT_NEAR(width, blue.right - red.left, 3);
    EXPECT_NEAR(area.bottom - area.top, std::max(red.bottom, blue.bottom) - std::min(red.top, blue.top), 3);
    EXPECT_NEAR(area.left, red.left, 2);
    EXPECT_EQ(0, InkInBox(Black).count); // the company name is not drawn over the logo

    // Back to the text letterhead: the logo is gone at once.
    Set(kTextLetterhead);
    EXPECT_EQ(0, InkInBox(Red).count);
    EXPECT_GT(InkInBox(Dark).count, 100);
}

TEST_F(StatementTest, LogoScalesGiveTheShareOfTheBoxWidth)
{
    // A logo wider than the box (both scales 1) spans it; a taller one takes the second over the first.
    EXPECT_DOUBLE_EQ(1.0, viewer::Letterhead::LogoWidthShare(L"1.000000", L"1.000000"));
    EXPECT_NEAR(0.25, viewer::Letterhead::LogoWidthShare(L"2.000000", L"0.500000"), 1e-9);
    // Values that are no scales: the logo is fitted to the box.
    EXPECT_DOUBLE_EQ(1.0, viewer::Letterhead::LogoWidthShare(L"", L"0.5"));
    EXPECT_DOUBLE_EQ(1.0, viewer::Letterhead::LogoWidthShare(L"abc", L"0.5"));
    EXPECT_DOUBLE_EQ(1.0, viewer::Letterhead::LogoWidthShare(L"-2", L"0.5"));
    // Base64 as the letterhead file keeps it: CR LF after 76 characters, padding at the end.
    EXPECT_EQ("Man", viewer::DecodeBase64(L"TWFu"));
    EXPECT_EQ("Ma", viewer::DecodeBase64(L"TW\r\nE="));
    EXPECT_EQ("M", viewer::DecodeBase64(L"TQ=="));
    EXPECT_EQ("", viewer::DecodeBase64(L"TW*u"));
    EXPECT_EQ("", viewer::DecodeBase64(L"TQ==TQ=="));
}

TEST_F(StatementTest, AmountDueAddsTheLineBalancesInCents)
{
    HWND head = ControlOf(L"AmountDue", 0), total = ControlOf(L"AmountDue", 1);
    ASSERT_NE(nullptr, head);
    ASSERT_NE(nullptr, total);
    EXPECT_NE(0, GetWindowLongW(head, GWL_STYLE) & ES_READONLY);
    // Each line's balance is its charge less its payments; the amount due is their sum.
    Set(L"<Charges_1>80.00</Charges_1><CoPay_1>5.25</CoPay_1><Charges_2>1,025.25</Charges_2><Charges_3></Charges_3>");
    wchar_t text[64] = {};
    GetWindowTextW(head, text, 64);
    EXPECT_STREQ(L"1100.00", text);
    GetWindowTextW(total, text, 64);
    EXPECT_STREQ(L"1100.00", text);
    // A charge typed on a line: its balance, and the amount due, follow at once.
    HWND third = ControlOf(L"Charges_3");
    ASSERT_NE(nullptr, third);
    SetFocus(third);
    for (wchar_t c : std::wstring(L"0.1")) SendMessageW(third, WM_CHAR, c, 1);
    GetWindowTextW(head, text, 64);
    EXPECT_STREQ(L"1100.10", text);
    // No balance at all: no amount.
    Set(L"<Charges_1></Charges_1><Charges_2></Charges_2><Charges_3></Charges_3>");
    GetWindowTextW(total, text, 64);
    EXPECT_STREQ(L"", text);
}

TEST(FieldCalculation, AmountsAreReadAsCents)
{
    const struct
    {
        const wchar_t* text;
        bool ok;
        long long cents;
    } cases[] = {{L"150", true, 15000},    {L"150.5", true, 15050},  {L"1,234.56", true, 123456}, {L" $ 75.00 ", true, 7500},
                 {L"-12.5", true, -1250},  {L"12.345", true, 1235},  {L"12.344", true, 1234},     {L".5", true, 50},
                 {L"", false, 0},          {L"abc", false, 0},       {L"12a", false, 0},          {L",5", false, 0},
                 {L"-", false, 0},         {L"1.2.3", false, 0},     {L" \t", false, 0},        {L"- 12.5", true, -1250},
                 {L"1,,234", false, 0},    {L"1,", false, 0}};
    for (const auto& c : cases) {
        long long cents = -999;
        EXPECT_EQ(c.ok, viewer::ParseCents(c.text, cents)) << "'" << std::string(c.text, c.text + wcslen(c.text)) << "'";
        if (c.ok) EXPECT_EQ(c.cents, cents) << std::string(c.text, c.text + wcslen(c.text));
    }
    EXPECT_EQ(L"0.05", viewer::FormatCents(5));
    EXPECT_EQ(L"-1234.50", viewer::FormatCents(-123450));
    EXPECT_EQ(L"0.00", viewer::FormatCents(0));
}

namespace {
int CALLBACK CollectTexts(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    if (record->iType == EMR_EXTTEXTOUTW) {
        auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const wchar_t* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + r->emrtext.offString);
        reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(std::wstring(chars, r->emrtext.nChars));
    }
    return 1;
}
} // namespace

TEST_F(StatementTest, PrintButtonPrintsTheStatementAsShownWithoutItsButtons)
{
    Set(std::wstring(kTextLetterhead) + L"<FirstPatientName>Baker, Ann</FirstPatientName><ID>7</ID>"
                                        L"<Charges_1>80.00</Charges_1><CoPay_1>5.25</CoPay_1><Charges_2>25.25</Charges_2>");
    HWND print = ControlOf(L"Print"), save = ControlOf(L"Save");
    ASSERT_NE(nullptr, print);
    ASSERT_NE(nullptr, save);
    wchar_t caption[32] = {};
    GetWindowTextW(save, caption, 32);
    EXPECT_STREQ(L"Save", caption);

    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, dc);
    TestControl().printTarget = dc;
    SendMessageW(print, BM_CLICK, 0, 0); // the user's click on the button
    TestControl().printTarget = nullptr;
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    std::vector<std::wstring> texts;
    EnumEnhMetaFile(nullptr, emf, CollectTexts, &texts, nullptr);
    DeleteEnhMetaFile(emf);
    auto count = [&](const std::wstring& text) { return std::count(texts.begin(), texts.end(), text); };
    EXPECT_EQ(1, count(L"Baker, Ann"));
    EXPECT_EQ(2, count(L"100.00")); // the amount due, in its box and under the balances
    EXPECT_EQ(1, count(L"Riverside Family Clinic"));
    EXPECT_EQ(1, count(L"PATIENT STATEMENT"));
    for (const wchar_t* absent : {L"Save", L"Print", L"Back", L"Letterhead", L"TextLogo", L"ImageLogoSize", L"Arial", L"18"})
        EXPECT_EQ(0, count(absent)) << std::string(absent, absent + wcslen(absent));
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(StatementTest, ButtonsNavigateAndChangesLeaveOutTheLetterhead)
{
    const std::wstring base64 = Widen(ReadWholeFile(std::wstring(FORMSTEAD_TEST_IMAGES_DIR) + L"letterhead_logo.b64"));
    Set(L"<ID>42</ID><TextLogo>0</TextLogo><ImageField1>" + base64 + L"</ImageField1><Notes>call first</Notes>");
    std::wstring seen, address;
    window.cancelWhen = [&](const std::wstring& to) {
        address = to;
        seen = window.Input(L"MsgRsp4");
        return true;
    };
    SendMessageW(ControlOf(L"Save"), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(L"app:saveChanges", address);
    EXPECT_EQ(0u, seen.find(L"%3Cr%3E%3CID%3E42%3C%2FID%3E"));
    EXPECT_NE(std::wstring::npos, seen.find(L"%3CNotes%3Ecall+first%3C%2FNotes%3E"));
    for (const wchar_t* absent : {L"ImageField1", L"TextLogo", L"CompanyName", L"%3CSave%3E", L"%3CPrint%3E"})
        EXPECT_EQ(std::wstring::npos, seen.find(absent)) << std::string(absent, absent + wcslen(absent));

    SendMessageW(ControlOf(L"Letterhead"), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(L"app:toSetHeader", address);
}

TEST_F(StatementTest, RemitToLinesShowWhatTheProgramSendsAndTakeNoTyping)
{
    Set(L"<INFO_Line1>Riverside Family Clinic</INFO_Line1><INFO_Line2>12 Mill Road</INFO_Line2>"
        L"<INFO_Line3>Springfield IL 62701</INFO_Line3><Notes>call first</Notes>");
    const wchar_t* const shown[] = {L"Riverside Family Clinic", L"12 Mill Road", L"Springfield IL 62701"};
    const wchar_t* const lines[] = {L"INFO_Line1", L"INFO_Line2", L"INFO_Line3"};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n + 1);
        HWND line = ControlOf(lines[n]);
        ASSERT_NE(nullptr, line);
        EXPECT_NE(0, GetWindowLongW(line, GWL_STYLE) & ES_READONLY);
        // Typed into, as the keyboard would: the line keeps the program's text.
        SetFocus(line);
        SendMessageW(line, EM_SETSEL, 0, -1);
        for (wchar_t c : std::wstring(L"\bPO Box 9")) SendMessageW(line, WM_CHAR, c, 1);
        PumpPending();
        wchar_t text[128] = {};
        GetWindowTextW(line, text, 128);
        EXPECT_STREQ(shown[n], text);
    }
    // The statement's other fields still take typing.
    HWND notes = ControlOf(L"Notes");
    ASSERT_NE(nullptr, notes);
    EXPECT_EQ(0, GetWindowLongW(notes, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(0, GetWindowLongW(ControlOf(L"CoPay_1"), GWL_STYLE) & ES_READONLY);
}

namespace {
// A practice's own form with the statement's field names, made by another writer: a line's charge,
// co-pay and balance; its subject is an ordinary one.
std::string UsersOwnStatementForm()
{
    auto field = [](const char* name, const char* rect) {
        return std::string("<< /Type /Annot /Subtype /Widget /P 3 0 R /FT /Tx /T (") + name + ") /Rect [" + rect +
               "] /DA (/Helv 10 Tf 0 g) >>";
    };
    return MakeClassicPdf({{1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [10 0 R 11 0 R 12 0 R] /DA (/Helv 0 Tf 0 g) >> >>"},
                           {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
                           {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Annots [10 0 R 11 0 R 12 0 R] >>"},
                           {9, "<< /Title (Patient Statement) /Subject (Patient Statement) >>"},
                           {10, field("Charges_1", "100 700 200 716")},
                           {11, field("CoPay_1", "220 700 320 716")},
                           {12, field("TotalDue_1", "340 700 440 716")}},
                          1, "/Info 9 0 R");
}

std::wstring TextOfField(viewer::FormWindow& form, const wchar_t* name)
{
    const int field = form.Script().FieldIndex(name);
    wchar_t text[128] = {};
    if (field >= 0) GetWindowTextW(form.ControlOf(static_cast<size_t>(field)), text, 128);
    return text;
}
} // namespace

TEST(StatementBalancesShown, OnlyTheProgramsOwnStatementComputesItsLineBalances)
{
    TestControl().Reset();
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File(L"own_statement.pdf"), UsersOwnStatementForm()));
    const std::wstring data = L"FieldSet|<r><Charges_1>20.00</Charges_1><CoPay_1>8</CoPay_1><TotalDue_1>99</TotalDue_1></r>";
    {
        TestBrowserWindow window;
        ASSERT_TRUE(LoadIntoContainer(window, folder.File(L"own_statement.pdf")));
        viewer::FormWindow* form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        ASSERT_EQ(L"", form->Error());
        window.Send(data);
        PumpPending();
        EXPECT_EQ(L"99", TextOfField(*form, L"TotalDue_1"));
        // A co-pay typed: the user's own balance stays as it is.
        const int coPay = form->Script().FieldIndex(L"CoPay_1");
        ASSERT_GE(coPay, 0);
        HWND edit = form->ControlOf(static_cast<size_t>(coPay));
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 1, 1);
        SendMessageW(edit, WM_CHAR, L'5', 1);
        PumpPending();
        EXPECT_EQ(L"85", TextOfField(*form, L"CoPay_1"));
        EXPECT_EQ(L"99", TextOfField(*form, L"TotalDue_1"));
    }
    {
        // The program's statement with the same data: 20.00 charged less 8 paid.
        TestBrowserWindow window;
        ASSERT_TRUE(LoadIntoContainer(window, SamplePath(L"statement.pdf")));
        viewer::FormWindow* form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        window.Send(data);
        PumpPending();
        EXPECT_EQ(L"12.00", TextOfField(*form, L"TotalDue_1"));
    }
    TestControl().Reset();
}
