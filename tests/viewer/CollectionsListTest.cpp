// The collections list as shown, on real windows: only the rows that hold a record show their
// fields and their "View" and "Delete" buttons (the area of a row without one stays blank paper),
// a button opens its own row's record, an empty list says so, and the columns carry the headings a
// practice uses.
#include "DrawnText.h"
#include "ViewerWindowTest.h"
#include "tests/support/RealInput.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>

using viewer::TestControl;

namespace {

bool White(COLORREF c) { return GetRValue(c) > 245 && GetGValue(c) > 245 && GetBValue(c) > 245; }
bool NotWhite(COLORREF c) { return !White(c); }
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Two records and a record the filters left out (an empty Collections element), as the page sends them.
const wchar_t kTwoRecords[] =
    L"FieldSet|<?xml version=\"1.0\" encoding=\"UTF-8\"?><xfa:data xmlns:xfa=\"http://www.xfa.org/schema/xfa-data/1.0/\">"
    L"<form1><DataForm><Collections><ID>7</ID><FirstPatientName>Adams</FirstPatientName><DateCreated>12/01/2023</DateCreated>"
    L"</Collections><Collections></Collections><Collections><ID>9</ID><FirstPatientName>Baker</FirstPatientName>"
    L"<DateCreated>01/15/2024</DateCreated></Collections></DataForm></form1></xfa:data>";
const wchar_t kNoRecords[] =
    L"FieldSet|<?xml version=\"1.0\" encoding=\"UTF-8\"?><xfa:data xmlns:xfa=\"http://www.xfa.org/schema/xfa-data/1.0/\">"
    L"<form1><DataForm><Collections></Collections></DataForm></form1></xfa:data>";

class CollectionsListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestControl().Reset();
        ASSERT_TRUE(LoadIntoContainer(window, SamplePath(L"collections.pdf")));
        form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        ASSERT_EQ(L"", form->Error());
        ASSERT_TRUE(FindPaper(form->Hwnd(), paper));
        window.cancelWhen = [](const std::wstring&) { return true; }; // the list stays shown
    }
    void TearDown() override { TestControl().Reset(); }

    HWND ControlOf(const std::wstring& name)
    {
        int field = form->Script().FieldIndex(name);
        return field < 0 ? nullptr : form->ControlOf(static_cast<size_t>(field));
    }
    bool Shown(const std::wstring& name)
    {
        HWND control = ControlOf(name);
        EXPECT_NE(nullptr, control) << Narrow(name);
        return control && IsWindowVisible(control);
    }
    std::wstring TextOf(const std::wstring& name)
    {
        wchar_t text[256] = {};
        GetWindowTextW(ControlOf(name), text, 256);
        return text;
    }
    // The window pixels of a row: from its first field's left edge to its "Delete" button's right
    // edge, a little beyond its widgets at the top and bottom, placed by the paper seen on screen.
    RECT RowArea(int row)
    {
        const pdf::FormDocument& pdf = form->Script().Form();
        const double* first = pdf.fields[form->Script().FieldIndex(L"R" + std::to_wstring(row) + L"_ID")].widgets[0].rect;
        const double* last = pdf.fields[form->Script().FieldIndex(L"R" + std::to_wstring(row) + L"_Delete")].widgets[0].rect;
        const double scale = paper.Scale(612);
        return RECT{static_cast<LONG>(paper.left + first[0] * scale) - 2, static_cast<LONG>(paper.top + (792 - first[3]) * scale) - 2,
                    static_cast<LONG>(paper.left + last[2] * scale) + 2, static_cast<LONG>(paper.top + (792 - first[1]) * scale) + 2};
    }
    // A click in the middle of a control, as the mouse gives it.
    bool Click(HWND control)
    {
        RECT rc;
        GetClientRect(control, &rc);
        const POINT middle = {rc.right / 2, rc.bottom / 2};
        return MouseDragThrough(control, {middle, middle}); // pressed and released there
    }

    TestBrowserWindow window;
    viewer::FormWindow* form = nullptr;
    PaperOnScreen paper;
};

} // namespace

TEST_F(CollectionsListTest, OnlyRowsHoldingARecordAreShown)
{
    // Nothing arrived yet: no row and no note.
    EXPECT_FALSE(Shown(L"R1_ID"));
    EXPECT_FALSE(Shown(L"R1_View"));
    EXPECT_FALSE(Shown(L"NoRecords"));
    EXPECT_EQ(0, InkIn(WindowPixels(form->Hwnd()), RowArea(1), NotWhite).count);

    window.Send(kTwoRecords);
    PumpPending();
    EXPECT_EQ(L"7", TextOf(L"R1_ID"));
    EXPECT_EQ(L"Baker", TextOf(L"R2_FirstPatientName"));
    for (const wchar_t* name : {L"R1_ID", L"R1_TotalDue_1", L"R1_View", L"R1_Delete", L"R2_ID", L"R2_View", L"R2_Delete"})
        EXPECT_TRUE(Shown(name)) << Narrow(name);
    EXPECT_EQ(L"View", TextOf(L"R2_View"));
    EXPECT_EQ(L"Delete", TextOf(L"R2_Delete"));
    for (const wchar_t* name : {L"R3_ID", L"R3_FirstPatientName", L"R3_View", L"R3_Delete", L"R12_ID", L"NoRecords"})
        EXPECT_FALSE(Shown(name)) << Narrow(name);

    // Row 3's area is blank paper, as the window painted it by itself; row 2's has its frames and text.
    const WindowPixels shown(form->Hwnd(), false);
    EXPECT_EQ(0, InkIn(shown, RowArea(3), NotWhite).count);
    EXPECT_GT(InkIn(shown, RowArea(2), NotWhite).count, 200);
}

TEST_F(CollectionsListTest, RowButtonsOpenTheirOwnRecord)
{
    window.Send(kTwoRecords);
    PumpPending();
    ASSERT_TRUE(Click(ControlOf(L"R2_View")));
    PumpPending();
    ASSERT_FALSE(window.navigations.empty());
    EXPECT_EQ(L"app:viewStatement?9", window.navigations.back());
    ASSERT_TRUE(Click(ControlOf(L"R1_Delete")));
    PumpPending();
    EXPECT_EQ(L"app:deleteRecord?7", window.navigations.back());
}

TEST_F(CollectionsListTest, AnEmptyListSaysSoAndOffersNoButtons)
{
    window.Send(kTwoRecords);
    PumpPending();
    ASSERT_TRUE(Shown(L"R2_View"));

    window.Send(kNoRecords);
    PumpPending();
    EXPECT_TRUE(Shown(L"NoRecords"));
    EXPECT_EQ(L"No statements match the filters.", TextOf(L"NoRecords"));
    for (HWND child = GetWindow(form->Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        EXPECT_FALSE(lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child)) << "a button is shown";
    }
    // The rows that went are painted away; the note stands where the first row was.
    const WindowPixels shown(form->Hwnd(), false);
    EXPECT_EQ(0, InkIn(shown, RowArea(2), NotWhite).count);
    EXPECT_GT(InkIn(shown, RowArea(1), NotWhite).count, 30);

    // Records again: the note goes.
    window.Send(kTwoRecords);
    PumpPending();
    EXPECT_FALSE(Shown(L"NoRecords"));
    EXPECT_TRUE(Shown(L"R1_View"));
}

TEST_F(CollectionsListTest, ColumnHeadingsAreTheWordsOfAPractice)
{
    // Each heading as drawn above its column: from the column's left edge to the next column's, just
    // above the first row (blanks left out of the drawn text).
    const std::pair<const wchar_t*, const wchar_t*> columns[] = {
        {L"ID", L"ID"},           {L"FirstPatientName", L"Patient"}, {L"DateCreated", L"Date"},
        {L"NumberOfDays", L"Daysoutstanding"}, {L"Charges_1", L"Charge"}, {L"TotalDue_1", L"Balance"}};
    const pdf::FormDocument& pdf = form->Script().Form();
    const std::vector<DrawnCharacter> drawn = DrawnCharacters(pdf);
    auto rectOf = [&](const std::wstring& element) {
        const int field = form->Script().FieldIndex(L"R1_" + element);
        EXPECT_GE(field, 0) << Narrow(element);
        return field < 0 ? nullptr : pdf.fields[field].widgets.at(0).rect;
    };
    const size_t count = sizeof columns / sizeof columns[0];
    for (size_t i = 0; i < count; ++i) {
        const double* rect = rectOf(columns[i].first);
        const double* next = i + 1 < count ? rectOf(columns[i + 1].first) : nullptr;
        ASSERT_TRUE(rect && (next || i + 1 == count));
        const double rowTop = 792 - rect[3];
        EXPECT_EQ(columns[i].second, DrawnTextIn(drawn, rect[0], rowTop - 12, next ? next[0] : 612, rowTop))
            << Narrow(columns[i].first);
    }
}
