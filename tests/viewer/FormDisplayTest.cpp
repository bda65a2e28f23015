// The form window as the user sees it, on real windows with real messages: long values in
// single-line fields show their start away from the focus, zooming keeps the place in view, and a
// page whose drawing fails is painted as far as it got.
#include "ViewerWindowTest.h"
#include "framework/Seams.h"
#include "viewer/DrawingBudget.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <new>
#include <regex>

using viewer::TestControl;

namespace {

const wchar_t kNameKey[] = L"_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial";

class FormDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestControl().Reset();
        ASSERT_TRUE(LoadIntoContainer(window, SamplePath(L"cms1500.pdf")));
        form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        ASSERT_EQ(L"", form->Error());
        ASSERT_TRUE(FindPaper(form->Hwnd(), paper)); // at zoom 1.0, scrolled to the top left
    }
    void TearDown() override
    {
        TestControl().Reset();
        viewer::DrawingProbesForTest() = viewer::DrawingProbes();
        AfxSetTraceSink(nullptr);
    }

    void SetName(const std::wstring& value)
    {
        window.Send(L"FieldSet|<r><" + std::wstring(kNameKey) + L">" + value + L"</" + kNameKey + L"></r>");
        PumpPending();
    }
    static int FirstVisibleChar(HWND edit) { return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    void Scroll(int bar, int lines)
    {
        for (int i = 0; i < lines; ++i) SendMessageW(form->Hwnd(), bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, SB_LINEDOWN, 0);
    }
    int Pos(int bar) const { return GetScrollPos(form->Hwnd(), bar); }
    // Window pixels per page point at that zoom: the scale at which the sample's 612-point-wide page
    // was seen drawn at zoom 1.0, times the zoom.
    double ScaleAt(double zoom) const { return paper.Scale(612) * zoom; }

    TestBrowserWindow window;
    viewer::FormWindow* form = nullptr;
    PaperOnScreen paper; // its left and top are the margins around the page, which do not scale
};

std::wstring LongValue()
{
    std::wstring value;
    for (int i = 0; i < 270; ++i) value += L"ABCDEFGHI ";
    return value; // 2,700 characters
}

// Pixels of the edit's client area darker than mid-grey: the drawn text.
int DarkPixels(HWND hwnd)
{
    const WindowPixels pixels(hwnd);
    int count = 0;
    for (int x = 0; x < pixels.width; ++x)
        for (int y = 0; y < pixels.height; ++y) {
            COLORREF c = pixels.Pixel(x, y);
            count += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
        }
    return count;
}

} // namespace

TEST_F(FormDisplayTest, ALongValueShowsItsStartAwayFromTheFocus)
{
    HWND name = form->ControlOf(8);
    ASSERT_NE(nullptr, name);
    const std::wstring value = LongValue();
    SetName(value);
    ASSERT_EQ(2700, GetWindowTextLengthW(name));
    EXPECT_EQ(0, FirstVisibleChar(name));
    EXPECT_GT(DarkPixels(name), 0);

    // Tab into the field: its text is selected and the end scrolled into view while it has the focus.
    ASSERT_TRUE(form->FocusNextField(form->ControlOf(7), false));
    ASSERT_EQ(name, GetFocus());
    ASSERT_GT(FirstVisibleChar(name), 2500);
    // Leaving the field shows the value's start again.
    SetFocus(window.Hwnd());
    EXPECT_EQ(0, FirstVisibleChar(name));
    EXPECT_GT(DarkPixels(name), 0);

    // Scrolled to its end by a message while away from the focus, then loaded with the same value:
    // the load shows the start.
    SendMessageW(name, EM_SETSEL, 2700, 2700);
    SendMessageW(name, EM_SCROLLCARET, 0, 0);
    ASSERT_GT(FirstVisibleChar(name), 2500);
    SetName(value);
    EXPECT_EQ(0, FirstVisibleChar(name));

    // While the field has the focus a load leaves the caret where the user put it.
    SetFocus(name);
    SendMessageW(name, EM_SETSEL, 2700, 2700);
    SendMessageW(name, EM_SCROLLCARET, 0, 0);
    SetName(value);
    EXPECT_GT(FirstVisibleChar(name), 2500);
    SetFocus(window.Hwnd());
}

TEST_F(FormDisplayTest, ZoomKeepsThePointAtTheTopLeftOfTheView)
{
    // Zoom 1.25: both scroll bars have a range.
    window.Send(L"ZoomIn");
    ASSERT_DOUBLE_EQ(1.25, form->ZoomFactor());
    Scroll(SB_VERT, 20);
    Scroll(SB_HORZ, 4);
    const int x1 = Pos(SB_HORZ), y1 = Pos(SB_VERT);
    ASSERT_EQ(400, y1);
    ASSERT_EQ(80, x1);
    const double s125 = ScaleAt(1.25), s150 = ScaleAt(1.5);
    // The page point at the view's top left, in points from the page's top left corner.
    const double px = (x1 - paper.left) / s125, py = (y1 - paper.top) / s125;

    window.Send(L"ZoomIn");
    ASSERT_DOUBLE_EQ(1.5, form->ZoomFactor());
    EXPECT_NEAR(paper.left + px * s150, Pos(SB_HORZ), 1.0);
    EXPECT_NEAR(paper.top + py * s150, Pos(SB_VERT), 1.0);

    window.Send(L"ZoomOut");
    ASSERT_DOUBLE_EQ(1.25, form->ZoomFactor());
    EXPECT_NEAR(x1, Pos(SB_HORZ), 1.0);
    EXPECT_NEAR(y1, Pos(SB_VERT), 1.0);

    // Back at 1.0 the page fits the width: no horizontal scroll; the vertical place is kept.
    window.Send(L"ZoomOut");
    ASSERT_DOUBLE_EQ(1.0, form->ZoomFactor());
    EXPECT_EQ(0, Pos(SB_HORZ));
    EXPECT_NEAR(paper.top + py * ScaleAt(1.0), Pos(SB_VERT), 1.0);
}

TEST_F(FormDisplayTest, ZoomOutNearTheEndStopsAtTheEndOfTheNewRange)
{
    window.Send(L"ZoomIn");
    window.Send(L"ZoomIn");
    ASSERT_DOUBLE_EQ(1.5, form->ZoomFactor());
    SendMessageW(form->Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_GT(Pos(SB_VERT), 0);
    window.Send(L"ZoomOut");
    window.Send(L"ZoomOut");
    // At zoom 1.0 the content is the 792-point page with the same margin above and below it: the
    // last position shows its end (within the rounding of the measured scale).
    RECT rc;
    GetClientRect(form->Hwnd(), &rc);
    const double last = paper.top + 792 * ScaleAt(1.0) + paper.top - rc.bottom;
    EXPECT_NEAR(last, Pos(SB_VERT), 1.5);
}

// An allocation that fails while the page is painted (at its 100th operator): the paint ends with
// the page drawn that far and the fields' frames on it, one trace line a paint, and the window
// paints in full again once drawing succeeds.
TEST_F(FormDisplayTest, APageWhoseDrawingFailsIsPaintedAsFarAsItGot)
{
    std::vector<std::wstring> trace;
    AfxSetTraceSink([&](const wchar_t* line) { trace.push_back(line); });
    RECT rc;
    GetClientRect(form->Hwnd(), &rc);
    RECT page = {paper.left, paper.top, paper.right, rc.bottom};
    auto dark = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; };
    const int whole = InkIn(WindowPixels(form->Hwnd()), page, dark).count;
    ASSERT_TRUE(trace.empty());

    viewer::DrawingProbesForTest().beforeOperator = [](size_t run) {
        if (run == 100) throw std::bad_alloc();
    };
    const Ink cut = InkIn(WindowPixels(form->Hwnd()), page, dark);
    ASSERT_FALSE(trace.empty());
    for (const std::wstring& line : trace)
        EXPECT_TRUE(std::regex_match(line, std::wregex(L"Page 1 of .+: drawing stopped after 100 operators by an error "
                                                       L"\\(std::bad_alloc\\)")))
            << std::string(line.begin(), line.end());
    EXPECT_GT(cut.count, 0);          // the first hundred operators' lines and text
    EXPECT_LT(cut.count, whole / 2);  // ... not the page's thousands
    PaperOnScreen again;
    EXPECT_TRUE(FindPaper(form->Hwnd(), again)); // the paper and the window around it are painted
    EXPECT_EQ(paper.left, again.left);

    viewer::DrawingProbesForTest() = viewer::DrawingProbes();
    trace.clear();
    EXPECT_EQ(whole, InkIn(WindowPixels(form->Hwnd()), page, dark).count);
    EXPECT_TRUE(trace.empty());
}
