// The main window's least size on real windows with the sample claim form and a saved record: the
// window cannot be sized below it (by SetWindowPos or MoveWindow), and at that size the step panel,
// the form page's bars and form, and the records page's controls and list are all whole, side by
// side; the red export button shows its whole caption in white on red.
#include <gtest/gtest.h>

#include "ClaimFormProgram.h"
#include "formdb/Database.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "pages/RecordsPage.h"
#include "resources/resource.h"
#include "tests/framework/GeometryPrinters.h"
#include "viewer/ViewerTestControl.h"

#include <string>
#include <vector>

namespace
{
struct Placed
{
    int id;
    CRect screen;
};

// The visible children of a window (less those named), with their screen rectangles.
std::vector<Placed> VisibleChildren(HWND parent, std::vector<HWND> except = {})
{
    std::vector<Placed> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(child) || std::find(except.begin(), except.end(), child) != except.end())
            continue;
        CRect rect;
        ::GetWindowRect(child, &rect);
        children.push_back({::GetDlgCtrlID(child), rect});
    }
    return children;
}

CRect ClientOnScreen(HWND window)
{
    CRect client;
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

// Each control whole inside the area and clear of the others and of the given rectangle.
void ExpectWholeAndApart(const std::vector<Placed>& controls, const CRect& area, const CRect& clearOf)
{
    for (size_t i = 0; i < controls.size(); ++i)
    {
        SCOPED_TRACE("control " + std::to_string(controls[i].id));
        CRect inside;
        inside.IntersectRect(&controls[i].screen, &area);
        EXPECT_EQ(controls[i].screen, inside) << "not whole";
        CRect common;
        EXPECT_FALSE(common.IntersectRect(&controls[i].screen, &clearOf)) << "under the form or list";
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(common.IntersectRect(&controls[i].screen, &controls[j].screen))
                << "overlaps control " << controls[j].id;
    }
}

struct MinimumSize : ::testing::Test
{
    ClaimFormFolder files;
    std::unique_ptr<ProgramRun> run;

    void SetUp() override
    {
        viewer::TestControl().Reset();
        run = StartClaimProgram(IDOK);
        ASSERT_NE(nullptr, run);
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(files.Database()));
        ::Database db;
        ASSERT_TRUE(db.Open(files.Database().c_str()));
        ASSERT_TRUE(db.Execute("INSERT INTO submissions (submdate, fxml) VALUES ('12/6/2026', '')"));
    }
    void TearDown() override
    {
        run.reset();
        viewer::TestControl().Reset();
    }
    CMainFrame& Frame() { return *run->Frame(); }
    CPage3& FormPage() { return *dynamic_cast<CPage3*>(run->View()->GetFormPage()); }
    CPage2& RecordsPage() { return *dynamic_cast<CPage2*>(run->View()->GetRecordsPage()); }
    CSize FrameSize()
    {
        CRect rect;
        Frame().GetWindowRect(&rect);
        return rect.Size();
    }
    // Asks for a size far below any usable one; answers the size the window took.
    CSize ShrinkAsFarAsItGoes()
    {
        Frame().SetWindowPos(nullptr, 0, 0, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
        return FrameSize();
    }
    void ShowStep(int step)
    {
        Frame().m_wndNavigator.SetStep(step);
        PumpPending();
    }
};
} // namespace

TEST_F(MinimumSize, TheWindowCannotBeMadeSmallerThanItsLeastSize)
{
    const CSize least = ShrinkAsFarAsItGoes();
    EXPECT_GT(least.cx, 120);
    EXPECT_GT(least.cy, 90);
    CRect work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(least.cx, work.Width());
    EXPECT_LE(least.cy, work.Height());

    // One dimension at a time, and through MoveWindow: each stops at the same edge.
    Frame().SetWindowPos(nullptr, 0, 0, 900, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(CSize(900, least.cy), FrameSize());
    Frame().MoveWindow(0, 0, 10, 700);
    EXPECT_EQ(CSize(least.cx, 700), FrameSize());
    // A larger size is taken as asked.
    Frame().SetWindowPos(nullptr, 0, 0, least.cx + 30, least.cy + 20, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(CSize(least.cx + 30, least.cy + 20), FrameSize());
    // The same least size whichever page is shown.
    ShowStep(1);
    EXPECT_EQ(least, ShrinkAsFarAsItGoes());
}

TEST_F(MinimumSize, AtTheLeastSizeEveryStepAndPageControlIsWhole)
{
    ShrinkAsFarAsItGoes();

    // The step panel: both arrows and both steps in use ("Create New Record", "Database") side by side
    // within the bar.
    Navigator& steps = Frame().m_wndNavigator;
    const CRect bar = ClientOnScreen(steps.m_hWnd);
    for (int id : {IDC_BACK_ARROW, IDC_NEXT_ARROW, IDC_STEP_CREATE_RECORD, IDC_STEP_VIEW_DATABASE})
    {
        SCOPED_TRACE("step panel control " + std::to_string(id));
        CRect control;
        steps.m_buttons.GetDlgItem(id)->GetWindowRect(&control);
        EXPECT_GE(control.left, bar.left);
        EXPECT_LE(control.right, bar.right);
    }

    // The form page: the bars whole and apart, the form below them and tall enough to use.
    ShowStep(0);
    ASSERT_TRUE(FormPage().IsWindowVisible());
    const CRect formPage = ClientOnScreen(FormPage().m_hWnd);
    CRect form;
    FormPage().m_browser.GetWindowRect(&form);
    std::vector<Placed> bars = VisibleChildren(FormPage().m_buttons.m_hWnd);
    const std::vector<Placed> zoom = VisibleChildren(FormPage().m_zoomer.m_hWnd);
    bars.insert(bars.end(), zoom.begin(), zoom.end());
    ASSERT_GE(bars.size(), 15u);
    ExpectWholeAndApart(bars, formPage, form);
    EXPECT_GE(form.Height(), 100);
    EXPECT_EQ(formPage.bottom, form.bottom);

    // The records page: hint, record bar, page buttons, red button and its hint; the list between.
    ShowStep(1);
    CPage2& records = RecordsPage();
    ASSERT_TRUE(records.IsWindowVisible());
    ASSERT_EQ(2, records.m_grid.GetRowCount());
    const std::vector<Placed> controls =
        VisibleChildren(records.m_hWnd, {records.m_grid.m_hWnd, records.m_hiddenGrid.m_hWnd, records.m_tabs.m_hWnd});
    ASSERT_EQ(6u, controls.size());
    CRect list;
    records.m_grid.GetWindowRect(&list);
    ExpectWholeAndApart(controls, ClientOnScreen(records.m_hWnd), list);
    EXPECT_GE(list.Height(), 100);
}

TEST_F(MinimumSize, TheRedButtonShowsItsWholeCaption)
{
    ShrinkAsFarAsItGoes();
    ShowStep(1);
    CPage2& records = RecordsPage();
    CWnd* button = records.GetDlgItem(1043);
    ASSERT_TRUE(button && button->IsWindowVisible());
    records.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    // The button's place as the page shows it, siblings painted over it included.
    CRect place;
    button->GetWindowRect(&place);
    records.ScreenToClient(&place);
    CClientDC source(&records);
    MemoryCanvas canvas(place.Width(), place.Height());
    canvas.dc.BitBlt(0, 0, place.Width(), place.Height(), &source, place.left, place.top, SRCCOPY);

    // The caption's white ink: inside the face with red on both sides, about as wide as the text
    // in the button's font, and nothing but red between it and the edges.
    CClientDC buttonDc(button);
    CFont* previous = buttonDc.SelectObject(button->GetFont());
    const CSize text = buttonDc.GetTextExtent(CString(L"Create Clearinghouse File"));
    buttonDc.SelectObject(previous);
    const int top = 2, bottom = place.Height() - 2, left = 2, right = place.Width() - 2;
    auto white = [&](int x, int y) {
        const COLORREF pixel = canvas.dc.GetPixel(x, y);
        return GetRValue(pixel) > 200 && GetGValue(pixel) > 200 && GetBValue(pixel) > 200;
    };
    int firstWhite = -1, lastWhite = -1;
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y)
            if (white(x, y))
            {
                if (firstWhite < 0)
                    firstWhite = x;
                lastWhite = x;
            }
    ASSERT_GE(firstWhite, 0) << "no caption";
    EXPECT_GT(firstWhite, left + 3);
    EXPECT_LT(lastWhite, right - 3);
    EXPECT_GE(lastWhite - firstWhite + 1, text.cx * 8 / 10) << "text " << text.cx << " px wide";
    int notRed = 0;
    for (int y = top; y < bottom; ++y)
    {
        for (int x = left; x < firstWhite; ++x)
            notRed += canvas.dc.GetPixel(x, y) != RGB(255, 0, 0);
        for (int x = lastWhite + 1; x < right; ++x)
            notRed += canvas.dc.GetPixel(x, y) != RGB(255, 0, 0);
    }
    EXPECT_EQ(0, notRed) << "paint beside the caption";
}
