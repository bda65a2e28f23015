// Keyboard scrolling through real key presses on a shown grid: Down, Up, Page Down, End and Ctrl+End past
// the rows and columns in view scroll just enough that the focus cell stands whole in the client area
// (the grid's height leaves its last row in view cut in half), Ctrl+Home brings the view back, and an
// arrow on a focus the scroll bars moved out of view shows it again.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

// Whether the focus cell's rectangle lies wholly inside the scrolled part of the client area.
::testing::AssertionResult FocusWhollyInView(CGridCtrl& grid)
{
    const CCellID focus = grid.GetFocusCell();
    CRect cell;
    if (!grid.GetCellRect(focus.row, focus.col, cell))
        return ::testing::AssertionFailure() << "focus (" << focus.row << "," << focus.col << ") has no place";
    const CRect client = GridClient(grid);
    if (cell.top < grid.GetFixedRowHeight() || cell.left < grid.GetFixedColumnWidth() || cell.bottom >= client.bottom ||
        cell.right >= client.right)
        return ::testing::AssertionFailure() << "focus (" << focus.row << "," << focus.col << ") at (" << cell.left
                                             << "," << cell.top << ")-(" << cell.right << "," << cell.bottom
                                             << ") in a client area of " << client.right << " x " << client.bottom;
    return ::testing::AssertionSuccess();
}

// 20-pixel rows under a 20-pixel header in a client area 250 pixels high (the grid's border takes two
// pixels on each side): rows 1 to 11 whole, row 12 cut after 10 pixels.
const int kHeight = 254;
const int kClientHeight = 250;
const int kWholeRows = 11;

} // namespace

TEST(GridKeyScroll, DownAndUpPastTheRowsInViewScrollOneRowAtATime)
{
    TestGrid t(40, 3, 1, 1, true, 400, kHeight);
    ASSERT_EQ(kClientHeight, GridClient(t.grid).bottom) << "no horizontal scroll bar expected";
    t.grid.SetFocusCell(1, 1);
    for (int row = 2; row <= 39; row++)
    {
        ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_DOWN));
        ASSERT_EQ(CCellID(row, 1), t.grid.GetFocusCell());
        EXPECT_TRUE(FocusWhollyInView(t.grid));
        // The view moves only as far as needed: the focus row is the last whole row once it has passed them.
        EXPECT_EQ(std::max(1, row - kWholeRows + 1), t.grid.GetTopleftNonFixedCell().row) << "focus row " << row;
        EXPECT_TRUE(t.grid.IsCellSelected(row, 1));
        EXPECT_FALSE(t.grid.IsCellSelected(row - 1, 1));
    }
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_DOWN));   // the last row keeps the focus
    EXPECT_EQ(CCellID(39, 1), t.grid.GetFocusCell());

    const int bottomTop = t.grid.GetTopleftNonFixedCell().row;
    for (int row = 38; row >= 1; row--)
    {
        ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_UP));
        ASSERT_EQ(CCellID(row, 1), t.grid.GetFocusCell());
        EXPECT_TRUE(FocusWhollyInView(t.grid));
        EXPECT_EQ(std::min(bottomTop, row), t.grid.GetTopleftNonFixedCell().row) << "focus row " << row;
    }
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT));
}

TEST(GridKeyScroll, PageDownKeepsTheFocusRowWholeAndEndsOnTheLastRow)
{
    TestGrid t(40, 3, 1, 1, true, 400, kHeight);
    t.grid.SetFocusCell(1, 1);
    int previousRow = 1, presses = 0;
    while (t.grid.GetFocusCell().row != 39 && presses < 10)
    {
        const int topBefore = t.grid.GetTopleftNonFixedCell().row;
        ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_NEXT));
        presses++;
        const int row = t.grid.GetFocusCell().row;
        EXPECT_GT(row, previousRow);
        EXPECT_TRUE(FocusWhollyInView(t.grid));
        EXPECT_TRUE(t.grid.IsCellSelected(row, 1));
        // The focus moves by the rows the view moved, unless the view could move no further.
        const int moved = t.grid.GetTopleftNonFixedCell().row - topBefore;
        if (row != 39)
        {
            EXPECT_EQ(previousRow + moved, row);
        }
        previousRow = row;
    }
    EXPECT_EQ(CCellID(39, 1), t.grid.GetFocusCell());
    EXPECT_GT(presses, 2) << "a page is fewer rows than the grid";
    EXPECT_TRUE(FocusWhollyInView(t.grid));
}

TEST(GridKeyScroll, EndAndCtrlEndScrollToTheLastColumnAndRowAndCtrlHomeBack)
{
    // Twelve 60-pixel columns in 400 pixels: both scroll bars.
    TestGrid t(40, 12, 1, 1, true, 400, kHeight);
    ASSERT_LT(GridClient(t.grid).bottom, kClientHeight) << "a horizontal scroll bar expected";
    t.grid.SetFocusCell(5, 1);

    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_END));
    EXPECT_EQ(CCellID(5, 11), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT)) << "End moves along the row only";

    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_HOME));
    EXPECT_EQ(CCellID(5, 1), t.grid.GetFocusCell());
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_HORZ));

    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_END, true));
    EXPECT_EQ(CCellID(39, 11), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));
    EXPECT_TRUE(t.grid.IsCellSelected(39, 11));
    EXPECT_FALSE(t.grid.IsCellSelected(5, 1));

    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_HOME, true));
    EXPECT_EQ(CCellID(1, 1), t.grid.GetFocusCell());
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_HORZ));
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT));
    EXPECT_TRUE(FocusWhollyInView(t.grid));
}

TEST(GridKeyScroll, ShiftDownPastTheRowsInViewSelectsEveryRowOnTheWay)
{
    TestGrid t(40, 3, 1, 1, true, 400, kHeight);
    t.grid.SetListMode(TRUE);
    t.grid.SetFocusCell(3, 1);
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_DOWN));   // starts the block at row 4
    for (int i = 0; i < 20; i++)
        ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_DOWN, false, true));
    EXPECT_EQ(CCellID(24, 1), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));
    for (int row = 1; row < 40; row++)
        EXPECT_EQ(row >= 4 && row <= 24, t.grid.IsCellSelected(row, 2) != FALSE) << "row " << row;
}

TEST(GridKeyScroll, ArrowsOnAFocusScrolledOutOfViewBringItBack)
{
    // The user moves the view away with the scroll bars; the next arrow key shows the focus again.
    TestGrid t(40, 12, 1, 1, true, 400, kHeight);
    t.grid.SetFocusCell(2, 2);
    t.Send(WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_FALSE(t.grid.IsCellVisible(3, 2));
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_DOWN));
    EXPECT_EQ(CCellID(3, 2), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));

    t.Send(WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_UP));
    EXPECT_EQ(CCellID(2, 2), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));

    t.Send(WM_HSCROLL, SB_RIGHT, 0);
    ASSERT_FALSE(t.grid.IsCellVisible(2, 3));
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_RIGHT));
    EXPECT_EQ(CCellID(2, 3), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));

    t.Send(WM_HSCROLL, SB_RIGHT, 0);
    ASSERT_TRUE(PressKey(t.grid.GetSafeHwnd(), VK_LEFT));
    EXPECT_EQ(CCellID(2, 2), t.grid.GetFocusCell());
    EXPECT_TRUE(FocusWhollyInView(t.grid));
}
