// Deleting many rows in one pass: the rows listed go once each, and the texts, heights, selection,
// focus and fixed rows end as deleting the same rows one by one from the bottom up leaves them.
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "GridTestSupport.h"

namespace {

// Everything a row deletion moves, read back through the grid's public face.
struct GridState
{
    std::vector<CString> texts;
    std::vector<int> heights;
    std::vector<bool> selected;
    int rows, fixedRows, selectedCount;
    CCellID focus;
    CCellRange selectedRange;
};

GridState StateOf(const CGridCtrl& grid)
{
    GridState state;
    state.rows = grid.GetRowCount();
    state.fixedRows = grid.GetFixedRowCount();
    state.selectedCount = grid.GetSelectedCount();
    state.focus = grid.GetFocusCell();
    state.selectedRange = grid.GetSelectedCellRange();
    for (int row = 0; row < grid.GetRowCount(); row++)
    {
        state.heights.push_back(grid.GetRowHeight(row));
        for (int col = 0; col < grid.GetColumnCount(); col++)
        {
            state.texts.push_back(grid.GetItemText(row, col));
            state.selected.push_back(grid.IsCellSelected(row, col) != FALSE);
        }
    }
    return state;
}

void ExpectSame(const GridState& batch, const GridState& oneByOne)
{
    EXPECT_EQ(oneByOne.rows, batch.rows);
    EXPECT_EQ(oneByOne.fixedRows, batch.fixedRows);
    EXPECT_EQ(oneByOne.texts, batch.texts);
    EXPECT_EQ(oneByOne.heights, batch.heights);
    EXPECT_EQ(oneByOne.selected, batch.selected);
    EXPECT_EQ(oneByOne.selectedCount, batch.selectedCount);
    EXPECT_EQ(oneByOne.focus, batch.focus);
    EXPECT_EQ(oneByOne.selectedRange.GetMinRow(), batch.selectedRange.GetMinRow());
    EXPECT_EQ(oneByOne.selectedRange.GetMaxRow(), batch.selectedRange.GetMaxRow());
    EXPECT_EQ(oneByOne.selectedRange.GetMinCol(), batch.selectedRange.GetMinCol());
    EXPECT_EQ(oneByOne.selectedRange.GetMaxCol(), batch.selectedRange.GetMaxCol());
}

// Two grids made alike: rows of assorted heights, a selection and a focus cell.
void Prepare(CGridCtrl& grid, int selectFrom, int selectTo, CCellID focus)
{
    for (int row = 0; row < grid.GetRowCount(); row++)
        grid.SetRowHeight(row, 10 + row);
    grid.SetListMode(TRUE);
    grid.SetFocusCell(focus);
    grid.SetSelectedRange(selectFrom, 1, selectTo, grid.GetColumnCount() - 1);
}

void DeleteOneByOne(CGridCtrl& grid, std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        grid.DeleteRow(*row);
}

} // namespace

TEST(GridBatchDelete, EachListedRowGoesOnceAndOthersAreIgnored)
{
    TestGrid t(6, 3);
    CGridCtrl& grid = t.grid;
    grid.SetRowHeight(2, 33);
    EXPECT_EQ(2, grid.DeleteRows({4, 1, 1, 9, -1}));
    ASSERT_EQ(4, grid.GetRowCount());
    EXPECT_EQ(L"0,0", grid.GetItemText(0, 0));
    EXPECT_EQ(L"2,0", grid.GetItemText(1, 0));
    EXPECT_EQ(L"3,2", grid.GetItemText(2, 2));
    EXPECT_EQ(L"5,1", grid.GetItemText(3, 1));
    EXPECT_EQ(33, grid.GetRowHeight(1));
    EXPECT_EQ(93, grid.GetVirtualHeight());
    EXPECT_EQ(0, grid.DeleteRows({}));
    EXPECT_EQ(0, grid.DeleteRows({4, -2}));
    EXPECT_EQ(4, grid.GetRowCount());
}

TEST(GridBatchDelete, SelectionAndFocusMoveUpWithTheirRows)
{
    TestGrid t(10, 4);
    CGridCtrl& grid = t.grid;
    Prepare(grid, 2, 6, CCellID(7, 2));
    EXPECT_EQ(3, grid.DeleteRows({8, 3, 5}));
    // Rows 0, 1, 2, 4, 6, 7 and 9 are left; of the selected 2 to 6, rows 2, 4 and 6 stay selected.
    ASSERT_EQ(7, grid.GetRowCount());
    EXPECT_EQ(L"4,0", grid.GetItemText(3, 0));
    for (int row = 1; row < 7; row++)
        EXPECT_EQ(row >= 2 && row <= 4, grid.IsCellSelected(row, 1) != FALSE) << row;
    EXPECT_EQ(9, grid.GetSelectedCount());
    EXPECT_EQ(CCellID(5, 2), grid.GetFocusCell());
    EXPECT_EQ(L"7,2", grid.GetItemText(5, 2));

    EXPECT_EQ(2, grid.DeleteRows({5, 0}));
    EXPECT_FALSE(grid.GetFocusCell().IsValid()) << "deleting the focus row clears the focus";
    EXPECT_EQ(0, grid.GetFixedRowCount()) << "the fixed count falls with a fixed row";
    EXPECT_EQ(L"1,0", grid.GetItemText(0, 0));
}

TEST(GridBatchDelete, EndsAsDeletingOneByOneDoes)
{
    const std::vector<std::vector<int>> cases = {
        {3, 4, 5},              // inside the selection
        {1, 9, 12, 2, 11},      // around it, out of order
        {0, 6, 7, 13},          // a fixed row, the focus row, the last row
        {2, 3, 4, 5, 6, 7, 8},  // the whole selection and the focus
    };
    for (const std::vector<int>& rows : cases)
    {
        TestGrid batch(14, 5, 2, 1);
        TestGrid oneByOne(14, 5, 2, 1);
        Prepare(batch.grid, 3, 8, CCellID(7, 3));
        Prepare(oneByOne.grid, 3, 8, CCellID(7, 3));
        ASSERT_EQ(24, batch.grid.GetSelectedCount());
        batch.grid.DeleteRows(rows);
        DeleteOneByOne(oneByOne.grid, rows);
        SCOPED_TRACE(::testing::PrintToString(rows));
        ExpectSame(StateOf(batch.grid), StateOf(oneByOne.grid));
        EXPECT_EQ(oneByOne.grid.GetVirtualHeight(), batch.grid.GetVirtualHeight());
    }
}

TEST(GridBatchDelete, ALargeSelectionGoesWhole)
{
    TestGrid t(3001, 12);
    CGridCtrl& grid = t.grid;
    grid.SetListMode(TRUE);
    grid.SetSelectedRange(1001, 1, 2000, 11);
    ASSERT_EQ(11000, grid.GetSelectedCount());
    std::vector<int> rows;
    for (int row = 1; row < grid.GetRowCount(); row++)
        if (grid.IsCellSelected(row, 1))
            rows.push_back(row);
    EXPECT_EQ(1000, grid.DeleteRows(rows));
    ASSERT_EQ(2001, grid.GetRowCount());
    EXPECT_EQ(0, grid.GetSelectedCount());
    EXPECT_EQ(L"1000,0", grid.GetItemText(1000, 0));
    EXPECT_EQ(L"2001,5", grid.GetItemText(1001, 5));
    EXPECT_EQ(L"3000,11", grid.GetItemText(2000, 11));
    EXPECT_EQ(2001 * 20, grid.GetVirtualHeight());
}
