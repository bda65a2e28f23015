// Scrolling: the scroll ranges and positions for a known client size, the top-left cell and the cell
// under a point after scrolling, points on edges, visibility, and scrolling a cell into view.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

SCROLLINFO Info(CGridCtrl& grid, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(grid.GetSafeHwnd(), bar, &info);
    return info;
}

} // namespace

TEST(GridScroll, RangesFollowTheVirtualSize)
{
    TestGrid t(30, 4);   // 600 pixels high, 240 wide: only the rows need a bar
    CRect client;
    t.grid.GetClientRect(client);
    EXPECT_TRUE(t.grid.IsVisibleVScroll());
    EXPECT_FALSE(t.grid.IsVisibleHScroll());
    SCROLLINFO vertical = Info(t.grid, SB_VERT);
    EXPECT_EQ(600 - 20 - 1, vertical.nMax) << "the non-fixed height less one";
    EXPECT_EQ(static_cast<UINT>(client.Height() - 20), vertical.nPage);
    SCROLLINFO horizontal = Info(t.grid, SB_HORZ);
    EXPECT_EQ(0, horizontal.nMax);

    t.grid.SetColumnWidth(3, 600);
    EXPECT_TRUE(t.grid.IsVisibleHScroll());
    EXPECT_EQ(60 * 2 + 600 - 1, Info(t.grid, SB_HORZ).nMax);
}

TEST(GridScroll, FittingColumnsShowNoHorizontalBarAndTheVerticalOneStaysDisabled)
{
    TestGrid t(3, 3);
    EXPECT_FALSE(t.grid.IsVisibleHScroll());
    EXPECT_FALSE(t.grid.IsVisibleVScroll());
    EXPECT_EQ(0, Info(t.grid, SB_HORZ).nMax);
    EXPECT_EQ(0, Info(t.grid, SB_VERT).nMax);
}

TEST(GridScroll, LineScrollingMovesByWholeRowsAndSkipsHiddenOnes)
{
    TestGrid t(40, 3);
    t.grid.SetRowHeight(1, 0);
    t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(20, t.grid.GetScrollPos32(SB_VERT)) << "the hidden first row is passed over";
    EXPECT_EQ(3, t.grid.GetTopleftNonFixedCell().row);
    t.grid.SetRowHeight(3, 35);
    t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(55, t.grid.GetScrollPos32(SB_VERT));
    t.Send(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(20, t.grid.GetScrollPos32(SB_VERT));
    t.Send(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(t.grid.GetScrollPos32(SB_VERT), 400);
    t.Send(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT));
}

TEST(GridScroll, CellFromPointOnEdgesAndAfterScrolling)
{
    TestGrid t(40, 8);
    // Column 1 spans x 60..119: its right edge pixel 119 belongs to it, 120 to column 2.
    EXPECT_EQ(1, t.grid.GetCellFromPt(CPoint(119, 30)).col);
    EXPECT_EQ(2, t.grid.GetCellFromPt(CPoint(120, 30)).col);
    EXPECT_EQ(-1, t.grid.GetCellFromPt(CPoint(-1, 30)).col);
    EXPECT_EQ(-1, t.grid.GetCellFromPt(CPoint(70, -1)).row);
    EXPECT_EQ(CCellID(0, 0), t.grid.GetCellFromPt(CPoint(5, 5)));
    EXPECT_EQ(CCellID(-1, -1), t.grid.GetCellFromPt(CPoint(5, 5), FALSE)) << "fixed cells not asked for";

    for (int i = 0; i < 5; i++)
        t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
    t.Send(WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(CCellID(6, 2), t.grid.GetTopleftNonFixedCell());
    EXPECT_EQ(CCellID(6, 2), t.grid.GetCellFromPt(CPoint(65, 25)));
    EXPECT_EQ(0, t.grid.GetCellFromPt(CPoint(65, 5)).row) << "the header row stays in place";
    EXPECT_FALSE(t.grid.IsCellVisible(3, 3));
    EXPECT_TRUE(t.grid.IsCellVisible(6, 2));
    CPoint origin;
    EXPECT_FALSE(t.grid.GetCellOrigin(3, 3, &origin)) << "scrolled out";
    ASSERT_TRUE(t.grid.GetCellOrigin(7, 3, &origin));
    EXPECT_EQ(CPoint(120, 40), origin);
}

TEST(GridScroll, EnsureVisibleScrollsOnlyWhenNeeded)
{
    TestGrid t(60, 12);
    t.grid.EnsureVisible(2, 2);
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT));
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_HORZ));
    t.grid.EnsureVisible(50, 10);
    EXPECT_TRUE(t.grid.IsCellVisible(50, 10));
    CRect rect, client;
    t.grid.GetClientRect(client);
    ASSERT_TRUE(t.grid.GetCellRect(50, 10, rect));
    EXPECT_LE(rect.bottom, client.bottom) << "the cell is shown whole";
    EXPECT_LE(rect.right, client.right);
    t.grid.EnsureVisible(1, 1);
    EXPECT_EQ(CCellID(1, 1), t.grid.GetTopleftNonFixedCell());
}

TEST(GridScroll, VisibleRangesCoverTheClientArea)
{
    TestGrid t(60, 12);
    CRect client, rect;
    t.grid.GetClientRect(client);
    CCellRange range = t.grid.GetVisibleNonFixedCellRange(rect);
    EXPECT_EQ(1, range.GetMinRow());
    EXPECT_EQ((client.bottom - 20 + 19) / 20, range.GetMaxRow());
    EXPECT_EQ((client.right - 60 + 59) / 60, range.GetMaxCol());
    EXPECT_EQ(client.bottom, rect.bottom);
    CCellRange fixed = t.grid.GetVisibleFixedCellRange();
    EXPECT_EQ(0, fixed.GetMinCol());
    EXPECT_EQ(0, fixed.GetMaxCol());
}
