// Selections in grids longer than 65,535 rows: a row far down and the row 65,536 above it are two
// cells of the selection, never one, so clearing or moving the selection leaves no cell marked.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {
const int kFarRow = 70000;
const int kTwinRow = kFarRow - 65536; // shared its key with the far row in a 16-bit row key
}

TEST(GridLargeSelection, RowsBeyondSixteenBitsAreSelectedAndClearedOnTheirOwn)
{
    TestGrid t(kFarRow + 1, 3);
    CGridCtrl& grid = t.grid;
    grid.SetListMode(TRUE);

    // Column 0 is fixed: a row's selection is its two other cells.
    grid.SetSelectedRange(kTwinRow, 1, kTwinRow, 2, FALSE);
    grid.SetItemState(kFarRow, 1, grid.GetItemState(kFarRow, 1) | GVIS_SELECTED);
    EXPECT_EQ(3, grid.GetSelectedCount());
    EXPECT_TRUE(grid.IsCellSelected(kTwinRow, 1));
    EXPECT_TRUE(grid.IsCellSelected(kFarRow, 1));

    // A new selection elsewhere unmarks both.
    grid.SetSelectedRange(5, 1, 5, 2, FALSE);
    EXPECT_FALSE(grid.IsCellSelected(kFarRow, 1));
    EXPECT_FALSE(grid.IsCellSelected(kTwinRow, 1));
    EXPECT_EQ(2, grid.GetSelectedCount());

    // Deleting a row between them moves the far row's mark with it.
    grid.SetItemState(kFarRow, 1, grid.GetItemState(kFarRow, 1) | GVIS_SELECTED);
    grid.DeleteRow(10);
    EXPECT_TRUE(grid.IsCellSelected(kFarRow - 1, 1));
    EXPECT_EQ(3, grid.GetSelectedCount());
    grid.ResetSelectedRange();
    EXPECT_FALSE(grid.IsCellSelected(kFarRow - 1, 1));
    EXPECT_EQ(0, grid.GetSelectedCount());
}
