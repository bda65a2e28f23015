// The cells that new rows are given: what CreateCell makes, whether the grid makes them itself or
// a derived grid makes them through its own CreateCell.
#include <gtest/gtest.h>
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"

namespace {

struct CountingGrid : CGridCtrl
{
    int made = 0;
    CGridCellBase* CreateCell(int row, int col) override
    {
        made++;
        return CGridCtrl::CreateCell(row, col);
    }
};

} // namespace

TEST(GridNewRows, CellsTakeTheirDefaultCellsFormatAndTheFixedState)
{
    // Formats the other grid tests use too: the table of formats that cells share is the process's.
    CGridCtrl grid(0, 3);
    grid.GetDefaultCell(FALSE, TRUE)->SetFormat(DT_RIGHT | DT_SINGLELINE);
    grid.GetDefaultCell(FALSE, FALSE)->SetFormat(DT_LEFT);
    ASSERT_TRUE(grid.SetFixedColumnCount(1));
    ASSERT_TRUE(grid.SetFixedRowCount(1));
    ASSERT_TRUE(grid.SetRowCount(4));
    for (int row = 1; row < 4; row++)
    {
        EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDCOL, grid.GetItemState(row, 0)) << row;
        EXPECT_EQ(0u, grid.GetItemState(row, 1)) << row;
        EXPECT_EQ(static_cast<UINT>(DT_RIGHT | DT_SINGLELINE), grid.GetItemFormat(row, 0)) << row;
        EXPECT_EQ(static_cast<UINT>(DT_LEFT), grid.GetItemFormat(row, 2)) << row;
        EXPECT_EQ(L"", grid.GetItemText(row, 2));
        CGridCellBase* cell = grid.GetCell(row, 2);
        ASSERT_NE(nullptr, cell);
        EXPECT_EQ(&grid, cell->GetGrid());
        EXPECT_EQ(RUNTIME_CLASS(CGridCell), cell->GetRuntimeClass());
    }
    // The format is the cell's own: it stays when the default cell's changes.
    grid.GetDefaultCell(FALSE, FALSE)->SetFormat(DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(static_cast<UINT>(DT_LEFT), grid.GetItemFormat(3, 2));
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL, grid.GetItemState(0, 0));
}

TEST(GridNewRows, ADerivedGridMakesEveryCellThroughItsOwnCreateCell)
{
    CountingGrid grid;
    ASSERT_TRUE(grid.SetColumnCount(3));
    ASSERT_TRUE(grid.SetRowCount(5));
    EXPECT_EQ(15, grid.made);
    ASSERT_EQ(5, grid.InsertRow(L"new"));
    EXPECT_EQ(18, grid.made);
}
