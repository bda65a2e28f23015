// The grid's virtual extent, kept as a running total of row heights and column widths: it must
// match the sizes added up one by one after every kind of change, the scroll ranges follow it, and
// auto-sizing all columns at once gives what sizing each column alone gives.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

long AddedHeights(const CGridCtrl& grid)
{
    long total = 0;
    for (int row = 0; row < grid.GetRowCount(); row++)
        total += grid.GetRowHeight(row);
    return total;
}

long AddedWidths(const CGridCtrl& grid)
{
    long total = 0;
    for (int col = 0; col < grid.GetColumnCount(); col++)
        total += grid.GetColumnWidth(col);
    return total;
}

int ScrollMax(const CGridCtrl& grid, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE;
    EXPECT_TRUE(::GetScrollInfo(grid.GetSafeHwnd(), bar, &info));
    return info.nMax;
}

} // namespace

TEST(GridExtent, HeightFollowsInsertsDeletesAndResizes)
{
    TestGrid t(6, 4);
    CGridCtrl& grid = t.grid;
    EXPECT_EQ(120, grid.GetVirtualHeight());

    grid.SetRowHeight(3, 45);
    EXPECT_EQ(145, grid.GetVirtualHeight());
    const int appended = grid.InsertRow(L"", -1);
    ASSERT_EQ(6, appended);
    EXPECT_EQ(145 + grid.GetRowHeight(6), grid.GetVirtualHeight());
    ASSERT_EQ(2, grid.InsertRow(L"new", 2));
    grid.SetRowHeight(2, 7);
    grid.SetRowHeight(7, 11);
    EXPECT_EQ(163, grid.GetVirtualHeight());
    EXPECT_EQ(AddedHeights(grid), grid.GetVirtualHeight());

    EXPECT_TRUE(grid.DeleteRow(4));   // the 45-pixel row
    EXPECT_EQ(118, grid.GetVirtualHeight());
    EXPECT_EQ(2, grid.DeleteRows({2, 6, 2}));   // 7 and 11 pixels
    EXPECT_EQ(100, grid.GetVirtualHeight());
    EXPECT_EQ(AddedHeights(grid), grid.GetVirtualHeight());

    // Sorting moves heights with their rows; the total stays.
    grid.SetRowHeight(1, 30);
    grid.SetItemText(1, 2, L"zzz");
    EXPECT_TRUE(grid.SortTextItems(2, TRUE));
    EXPECT_EQ(110, grid.GetVirtualHeight());
    EXPECT_EQ(30, grid.GetRowHeight(4));

    EXPECT_TRUE(grid.SetRowCount(8));
    EXPECT_EQ(AddedHeights(grid), grid.GetVirtualHeight());
    EXPECT_TRUE(grid.SetRowCount(2));
    EXPECT_EQ(40, grid.GetVirtualHeight());
    EXPECT_TRUE(grid.AutoSizeRow(1));
    EXPECT_EQ(AddedHeights(grid), grid.GetVirtualHeight());
    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(0, grid.GetVirtualHeight());
}

TEST(GridExtent, WidthFollowsColumnsHiddenMovedAndSized)
{
    TestGrid t(4, 5);
    CGridCtrl& grid = t.grid;
    EXPECT_EQ(300, grid.GetVirtualWidth());
    grid.SetColumnWidth(2, 0);   // hidden
    EXPECT_EQ(240, grid.GetVirtualWidth());
    grid.SetColumnWidth(2, 25);
    EXPECT_EQ(265, grid.GetVirtualWidth());

    const int added = grid.InsertColumn(L"wide heading", DT_LEFT, 1);
    ASSERT_EQ(1, added);
    EXPECT_EQ(265 + grid.GetColumnWidth(1), grid.GetVirtualWidth());
    grid.SetColumnWidth(1, 15);
    EXPECT_EQ(280, grid.GetVirtualWidth());
    EXPECT_TRUE(grid.DeleteColumn(3));   // the 25-pixel column, now at 3
    EXPECT_EQ(255, grid.GetVirtualWidth());

    // A layout snapshot brings back the widths it held.
    DWORD* layout = nullptr;
    grid.SaveColumnLayout(&layout);
    grid.SetColumnWidth(4, 100);
    EXPECT_EQ(295, grid.GetVirtualWidth());
    grid.RestoreColumnLayout(layout);
    delete[] layout;
    EXPECT_EQ(255, grid.GetVirtualWidth());

    grid.AutoSizeColumns(GVS_BOTH);
    EXPECT_EQ(AddedWidths(grid), grid.GetVirtualWidth());
    // Auto-sized to their short texts the columns leave room, which the last one takes.
    CRect client;
    grid.GetClientRect(client);
    ASSERT_LT(AddedWidths(grid), client.Width());
    grid.ExpandLastColumn();
    EXPECT_EQ(client.Width(), grid.GetVirtualWidth());
    EXPECT_EQ(AddedWidths(grid), grid.GetVirtualWidth());
    grid.ExpandColumnsToFit();
    EXPECT_EQ(AddedWidths(grid), grid.GetVirtualWidth());

    EXPECT_TRUE(grid.SetColumnCount(7));
    EXPECT_EQ(AddedWidths(grid), grid.GetVirtualWidth());
    EXPECT_TRUE(grid.SetColumnCount(2));
    EXPECT_EQ(AddedWidths(grid), grid.GetVirtualWidth());
}

TEST(GridExtent, ScrollRangesFollowTheTotals)
{
    TestGrid t(40, 10);
    CGridCtrl& grid = t.grid;
    // Everything beyond the fixed row and column, less one.
    EXPECT_EQ(40 * 20 - 20 - 1, ScrollMax(grid, SB_VERT));
    EXPECT_EQ(10 * 60 - 60 - 1, ScrollMax(grid, SB_HORZ));

    std::vector<int> rows;
    for (int row = 30; row < 40; row++)
        rows.push_back(row);
    EXPECT_EQ(10, grid.DeleteRows(rows));
    EXPECT_EQ(30 * 20 - 20 - 1, ScrollMax(grid, SB_VERT));
    grid.SetRowHeight(5, 45);
    EXPECT_EQ(30 * 20 + 25 - 20 - 1, ScrollMax(grid, SB_VERT));
    grid.SetColumnWidth(4, 0);
    EXPECT_EQ(9 * 60 - 60 - 1, ScrollMax(grid, SB_HORZ));
    EXPECT_TRUE(grid.DeleteRow(5));
    EXPECT_EQ(29 * 20 - 20 - 1, ScrollMax(grid, SB_VERT));
}

TEST(GridExtent, AutoSizingAllColumnsAgreesWithEachColumnAloneAndSkipsHiddenOnes)
{
    for (UINT style : {UINT(GVS_HEADER), UINT(GVS_DATA), UINT(GVS_BOTH)})
    {
        TestGrid all(12, 6, 1, 1, true);
        TestGrid each(12, 6, 1, 1, true);
        for (TestGrid* t : {&all, &each})
        {
            t->grid.SetItemText(0, 2, L"a long heading for column two");
            t->grid.SetItemText(7, 3, L"a long value in row seven");
            t->grid.SetItemText(4, 0, L"row heading");
            t->grid.SetColumnWidth(4, 0);   // hidden
        }
        all.grid.AutoSizeColumns(style);
        for (int col = 0; col < 6; col++)
            each.grid.AutoSizeColumn(col, style);
        SCOPED_TRACE(style);
        EXPECT_EQ(0, all.grid.GetColumnWidth(4));
        for (int col = 0; col < 6; col++)
            EXPECT_EQ(each.grid.GetColumnWidth(col), all.grid.GetColumnWidth(col)) << "column " << col;
        EXPECT_EQ(AddedWidths(all.grid), all.grid.GetVirtualWidth());
    }
    TestGrid header(3, 4, 1, 1, true);
    header.grid.SetItemText(2, 2, L"a value far wider than the heading above it");
    header.grid.AutoSizeColumns(GVS_HEADER);
    const int headerOnly = header.grid.GetColumnWidth(2);
    header.grid.AutoSizeColumns(GVS_DATA);
    EXPECT_LT(headerOnly, header.grid.GetColumnWidth(2)) << "the header style measures the header row alone";
}
