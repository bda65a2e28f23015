// The mouse: presses, drags and releases sent as real messages; divider drags; header clicks; the
// notifications and the WM_COMMAND the owner receives; the wheel; the auto-scroll timer.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

void Drag(TestGrid& t, CPoint from, CPoint to)
{
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    t.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

// A point on the divider right of a header column (inside the capture range).
CPoint ColumnDivider(TestGrid& t, int col)
{
    CRect rect;
    t.grid.GetCellRect(0, col, rect);
    return CPoint(rect.right, rect.CenterPoint().y);
}

} // namespace

TEST(GridMouse, ClickSelectsAndTellsTheOwner)
{
    TestGrid t(5, 4);
    t.owner.Clear();
    t.Click(t.Centre(2, 2));
    PumpMessages();
    EXPECT_EQ(CCellID(2, 2), t.grid.GetFocusCell());
    EXPECT_TRUE(t.grid.IsCellSelected(2, 2));
    EXPECT_EQ(1, t.grid.GetSelectedCount());
    ASSERT_EQ(3u, t.owner.notes.size());
    EXPECT_EQ(GVN_SELCHANGING, t.owner.notes[0].code);
    EXPECT_EQ(GVN_SELCHANGED, t.owner.notes[1].code);
    EXPECT_EQ(NM_CLICK, t.owner.notes[2].code);
    EXPECT_EQ(2, t.owner.notes[2].row);
    EXPECT_EQ(2, t.owner.notes[2].col);
    ASSERT_EQ(1u, t.owner.commands.size()) << "one WM_COMMAND is posted after the release";
    EXPECT_EQ(MAKEWPARAM(TestGrid::ID, 0), t.owner.commands[0].first);
    EXPECT_EQ(reinterpret_cast<LPARAM>(t.grid.GetSafeHwnd()), t.owner.commands[0].second);
}

TEST(GridMouse, ListModeClickSelectsTheRowAndDragExtendsIt)
{
    TestGrid t(6, 4);
    t.grid.SetListMode(TRUE);
    Drag(t, t.Centre(1, 2), t.Centre(3, 1));
    for (int row = 1; row <= 3; row++)
        for (int col = 1; col < 4; col++)
            EXPECT_TRUE(t.grid.IsCellSelected(row, col)) << row << "," << col;
    EXPECT_FALSE(t.grid.IsCellSelected(4, 1));
    EXPECT_EQ(CCellID(3, 1), t.grid.GetFocusCell());
}

TEST(GridMouse, ClickOnASelectedCellKeepsTheSelection)
{
    TestGrid t(6, 4);
    t.grid.SetListMode(TRUE);
    Drag(t, t.Centre(1, 1), t.Centre(3, 1));
    ASSERT_EQ(9, t.grid.GetSelectedCount());
    t.owner.Clear();
    t.Click(t.Centre(2, 2));
    EXPECT_EQ(9, t.grid.GetSelectedCount());
    EXPECT_EQ(CCellID(3, 1), t.grid.GetFocusCell()) << "the focus does not move";
    EXPECT_EQ(0, t.owner.Count(GVN_SELCHANGING));
    EXPECT_EQ(1, t.owner.Count(GVN_SELCHANGED));
    EXPECT_EQ(1, t.owner.Count(NM_CLICK));
}

TEST(GridMouse, CtrlClickAddsToTheSelection)
{
    TestGrid t(6, 4);
    t.Click(t.Centre(1, 1));
    t.Click(t.Centre(3, 2), MK_CONTROL);
    EXPECT_TRUE(t.grid.IsCellSelected(1, 1));
    EXPECT_TRUE(t.grid.IsCellSelected(3, 2));
    EXPECT_EQ(2, t.grid.GetSelectedCount());
}

TEST(GridMouse, HeaderAndFixedColumnClicksSelectColumnsAndRows)
{
    TestGrid t(5, 4);
    t.owner.Clear();
    t.Click(t.Centre(0, 2));
    EXPECT_FALSE(t.grid.GetFocusCell().IsValid()) << "a header cell never takes the focus";
    for (int row = 1; row < 5; row++)
        EXPECT_TRUE(t.grid.IsCellSelected(row, 2));
    EXPECT_EQ(4, t.grid.GetSelectedCount());
    EXPECT_EQ(1, t.owner.Count(NM_CLICK));
    PumpMessages();
    EXPECT_EQ(1u, t.owner.commands.size());

    t.Click(t.Centre(3, 0));
    EXPECT_EQ(3, t.grid.GetSelectedCount());
    EXPECT_TRUE(t.grid.IsCellSelected(3, 3));

    t.Click(t.Centre(0, 0));
    EXPECT_EQ(12, t.grid.GetSelectedCount()) << "the corner selects everything";
}

TEST(GridMouse, ColumnDividerDragSetsTheWidth)
{
    TestGrid t(3, 4);
    CPoint divider = ColumnDivider(t, 1);
    CPoint origin;
    t.grid.GetCellOrigin(0, 1, &origin);

    Drag(t, divider, CPoint(divider.x + 25, divider.y));
    EXPECT_EQ(divider.x + 25 - origin.x, t.grid.GetColumnWidth(1));

    int width = t.grid.GetColumnWidth(1);
    divider = ColumnDivider(t, 1);
    Drag(t, divider, divider);
    EXPECT_EQ(width, t.grid.GetColumnWidth(1)) << "released where it started: unchanged";

    divider = ColumnDivider(t, 1);
    Drag(t, divider, CPoint(origin.x - 10 < 0 ? 0 : origin.x - 10, divider.y));
    EXPECT_EQ(0, t.grid.GetColumnWidth(1)) << "dragged past the column's start: hidden";

    t.grid.SetColumnWidth(1, 60);
    t.grid.SetAllowColumnHide(FALSE);
    divider = ColumnDivider(t, 1);
    Drag(t, divider, CPoint(origin.x - 5, divider.y));
    EXPECT_EQ(1, t.grid.GetColumnWidth(1)) << "without hiding a column keeps one pixel";
}

TEST(GridMouse, RowDividerInTheFixedColumnSizesTheRowAbove)
{
    TestGrid t(5, 3);
    CRect rect;
    t.grid.GetCellRect(2, 0, rect);
    // Two pixels below row 2's top edge: the divider between rows 1 and 2.
    CPoint press(rect.CenterPoint().x, rect.top + 1);
    EXPECT_TRUE(t.grid.MouseOverRowResizeArea(press));
    Drag(t, press, CPoint(press.x, press.y + 12));
    EXPECT_EQ(33, t.grid.GetRowHeight(1));
    EXPECT_EQ(20, t.grid.GetRowHeight(2));
}

TEST(GridMouse, ResizeAreasOnlyOnDividers)
{
    TestGrid t(4, 4);
    CRect first;
    t.grid.GetCellRect(0, 0, first);
    CPoint left(first.left, first.CenterPoint().y);
    EXPECT_FALSE(t.grid.MouseOverColumnResizeArea(left)) << "column 0's left edge";
    CPoint top(first.CenterPoint().x, first.top);
    EXPECT_FALSE(t.grid.MouseOverRowResizeArea(top)) << "row 0's top edge";
    CPoint body = t.Centre(2, 2);
    EXPECT_FALSE(t.grid.MouseOverColumnResizeArea(body));
    CRect client;
    t.grid.GetClientRect(client);
    CPoint nowhere(client.right - 2, 5);
    EXPECT_FALSE(t.grid.MouseOverColumnResizeArea(nowhere)) << "a point over no cell";
    CPoint divider = ColumnDivider(t, 2);
    EXPECT_TRUE(t.grid.MouseOverColumnResizeArea(divider));
}

TEST(GridMouse, DoubleClickOnADividerAutoSizesTheColumnLeftOfIt)
{
    TestGrid t(3, 4);
    t.grid.SetItemText(0, 1, L"a heading much wider than sixty pixels");
    CPoint divider = ColumnDivider(t, 1);
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(divider.x, divider.y));
    ASSERT_EQ(CGridCtrl::MOUSE_OVER_COL_DIVIDE, t.grid.GetMouseMode());
    t.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(divider.x, divider.y));
    // The heading is 204 pixels wide in 8-point Tahoma; 3-pixel margins, one pixel and one more for
    // a fixed cell: 212.
    EXPECT_EQ(212, t.grid.GetColumnWidth(1));
}

TEST(GridMouse, DoubleClickOnACellNotifiesTheOwner)
{
    TestGrid t(4, 4);
    t.grid.SetEditable(FALSE);
    CPoint point = t.Centre(2, 3);
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    t.owner.Clear();
    t.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    const RecordedNotify* dbl = t.owner.Last(NM_DBLCLK);
    ASSERT_NE(nullptr, dbl);
    EXPECT_EQ(2, dbl->row);
    EXPECT_EQ(3, dbl->col);
}

TEST(GridMouse, RightClickFocusesAndNotifies)
{
    TestGrid t(4, 4);
    CPoint point = t.Centre(2, 1);
    t.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    t.Send(WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(CCellID(2, 1), t.grid.GetFocusCell());
    const RecordedNotify* right = t.owner.Last(NM_RCLICK);
    ASSERT_NE(nullptr, right);
    EXPECT_EQ(2, right->row);
    CRect client;
    t.grid.GetClientRect(client);
    t.Send(WM_RBUTTONUP, 0, MAKELPARAM(client.right - 1, client.bottom - 1));
    EXPECT_EQ(-1, t.owner.Last(NM_RCLICK)->row) << "over no cell";
}

TEST(GridMouse, WheelNotchPostsThreeLineScrolls)
{
    UINT systemLines = 0;   // the system's own setting, asked directly
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &systemLines, 0));
    ASSERT_EQ(3u, systemLines) << "the test prefix keeps the default of three lines a notch";
    TestGrid t(60, 3);
    t.grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    int before = t.grid.GetScrollPos32(SB_VERT);
    ASSERT_GT(before, 60);
    t.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    PumpMessages();
    EXPECT_EQ(before - 3 * 20, t.grid.GetScrollPos32(SB_VERT));   // three rows of 20 pixels
}

namespace
{
// The grid's selection timer is identified by the message that starts it.
const UINT_PTR kSelectionTimer = WM_LBUTTONDOWN;

// Waits, with a watchdog, until the system has a tick of the window's timer ready; the tick is left
// in the queue.
bool TimerTickPending(HWND window, UINT_PTR id)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 60000;)
    {
        MSG msg;
        if (::PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_NOREMOVE) && msg.wParam == id)
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
    }
    return false;
}
}

TEST(GridMouse, DraggingASelectionBelowTheWindowKeepsScrolling)
{
    TestGrid t(60, 3, 1, 1, true);
    CPoint start = t.Centre(2, 1);
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    CRect client;
    t.grid.GetClientRect(client);
    CPoint below(start.x, client.bottom + 40);
    t.grid.ClientToScreen(&below);
    ASSERT_TRUE(::SetCursorPos(below.x, below.y));
    ASSERT_TRUE(TimerTickPending(t.grid.GetSafeHwnd(), kSelectionTimer)) << "the drag started no timer";

    // The ticks are delivered here, one at a time: each moves the focus one row further down.
    int focusRow = t.grid.GetFocusCell().row;
    ASSERT_EQ(2, focusRow);
    for (int tick = 1; tick <= 20; ++tick)
    {
        t.Send(WM_TIMER, kSelectionTimer, 0);
        ASSERT_EQ(2 + tick, t.grid.GetFocusCell().row) << "tick " << tick;
    }
    int scrolled = t.grid.GetScrollPos32(SB_VERT);
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(start.x, client.bottom + 40));
    EXPECT_GT(scrolled, 0);   // row 22 lies below the first window's worth of rows
    for (int row = 2; row < 22; ++row)
        EXPECT_TRUE(t.grid.IsCellSelected(row, 1)) << row;
    // Released: the timer is gone (killing it again finds nothing).
    EXPECT_FALSE(::KillTimer(t.grid.GetSafeHwnd(), kSelectionTimer));
    PumpMessages();
}

TEST(GridMouse, LosingTheCaptureEndsASizing)
{
    TestGrid t(3, 4, 1, 1, true);
    CPoint divider = ColumnDivider(t, 1);
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(divider.x, divider.y));
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider.x, divider.y));
    ASSERT_EQ(CGridCtrl::MOUSE_SIZING_COL, t.grid.GetMouseMode());

    ::SetCapture(t.owner.Hwnd());   // a message box or another window takes the mouse
    ::ReleaseCapture();
    EXPECT_EQ(CGridCtrl::MOUSE_NOTHING, t.grid.GetMouseMode());
    int width = t.grid.GetColumnWidth(1);
    CPoint later(divider.x + 30, t.Centre(2, 2).y);
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(later.x, later.y));
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(later.x, later.y));
    EXPECT_EQ(width, t.grid.GetColumnWidth(1)) << "a later release sizes nothing";
}

TEST(GridMouse, LosingTheCaptureEndsAMouseSelection)
{
    TestGrid t(6, 4, 1, 1, true);
    CPoint start = t.Centre(1, 1);
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    ASSERT_EQ(::GetCapture(), t.grid.GetSafeHwnd());
    ::SetCapture(t.owner.Hwnd());
    ::ReleaseCapture();
    // The release went elsewhere; the mouse now moves over the grid with no button down.
    CPoint over = t.Centre(4, 3);
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(1, t.grid.GetSelectedCount());
    EXPECT_TRUE(t.grid.IsCellSelected(1, 1));
    EXPECT_EQ(CCellID(1, 1), t.grid.GetFocusCell());
}

TEST(GridMouse, ShiftClickSelectsTheBlockFromTheLastClickedCell)
{
    TestGrid t(6, 5);
    t.Click(t.Centre(1, 1));
    t.owner.Clear();
    t.Click(t.Centre(3, 3), MK_SHIFT);
    EXPECT_EQ(CCellRange(1, 1, 3, 3), t.grid.GetSelectedCellRange());
    EXPECT_EQ(9, t.grid.GetSelectedCount());
    EXPECT_EQ(CCellID(3, 3), t.grid.GetFocusCell());
    const RecordedNotify* click = t.owner.Last(NM_CLICK);
    ASSERT_NE(nullptr, click);
    EXPECT_EQ(3, click->row);
    // Without Shift the block starts again at the clicked cell.
    t.Click(t.Centre(4, 2));
    EXPECT_EQ(1, t.grid.GetSelectedCount());
}
