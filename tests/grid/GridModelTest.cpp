// The grid's model: counts, inserting and deleting rows and columns, the column order after a header
// drag, the item operations, fixed-cell bits, the modified flag, default-cell fallbacks, sizes and the
// column-layout snapshot.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

CString Text(const CGridCtrl& grid, int row, int col)
{
    return grid.GetItemText(row, col);
}

// Drags the header of display column `from` onto that of `to`, as the drop of a header drag does.
void DragHeader(TestGrid& t, int from, int to)
{
    t.grid.SetColumnReorder(TRUE);
    CPoint press = t.Centre(0, from);
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    ASSERT_EQ(CGridCtrl::MOUSE_PREPARE_DRAG, t.grid.GetMouseMode());
    COleDataSource source;
    COleDataObject data;
    data.Attach(source.GetDataObject(), FALSE);
    CPoint over = t.Centre(0, to);
    CGridDropTarget& target = t.grid.GetDropTarget();
    target.OnDragEnter(&t.grid, &data, 0, over);
    target.OnDragOver(&t.grid, &data, 0, over);
    ASSERT_TRUE(target.OnDrop(&t.grid, &data, DROPEFFECT_MOVE, over));
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
}

} // namespace

TEST(GridModel, CountsGrowAndShrinkWithCellsInEveryPlace)
{
    CGridCtrl grid(3, 4, 1, 1);
    EXPECT_EQ(3, grid.GetRowCount());
    EXPECT_EQ(4, grid.GetColumnCount());
    for (int row = 0; row < 3; row++)
        for (int col = 0; col < 4; col++)
            EXPECT_NE(nullptr, grid.GetCell(row, col)) << row << "," << col;
    EXPECT_EQ(nullptr, grid.GetCell(-1, 0));
    EXPECT_EQ(nullptr, grid.GetCell(3, 0));
    EXPECT_EQ(nullptr, grid.GetCell(0, 4));

    EXPECT_TRUE(grid.SetRowCount(6));
    EXPECT_TRUE(grid.SetColumnCount(2));
    EXPECT_EQ(6, grid.GetRowCount());
    EXPECT_EQ(2, grid.GetColumnCount());
    EXPECT_NE(nullptr, grid.GetCell(5, 1));
    EXPECT_EQ(nullptr, grid.GetCell(5, 2));

    // A fixed count above the new count is lowered with it.
    EXPECT_TRUE(grid.SetFixedRowCount(4));
    EXPECT_TRUE(grid.SetRowCount(2));
    EXPECT_EQ(2, grid.GetFixedRowCount());
    // Raising the fixed count above the row count adds rows.
    EXPECT_TRUE(grid.SetFixedRowCount(5));
    EXPECT_EQ(5, grid.GetRowCount());
}

TEST(GridModel, FixedBitsFollowTheFixedCounts)
{
    CGridCtrl grid(4, 4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL, grid.GetItemState(0, 0) & 0x70);
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDROW, grid.GetItemState(0, 2) & 0x70);
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDCOL, grid.GetItemState(2, 0) & 0x70);
    EXPECT_EQ(0u, grid.GetItemState(2, 2) & 0x70);

    grid.SetItemBkColour(1, 2, RGB(255, 255, 0));
    grid.SetFixedRowCount(2);
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDROW, grid.GetItemState(1, 2) & 0x70);
    EXPECT_EQ(CLR_DEFAULT, grid.GetCell(1, 2)->GetBackClr());

    grid.SetFixedRowCount(0);
    EXPECT_EQ(0u, grid.GetItemState(1, 2) & 0x70);
    EXPECT_EQ(GVIS_FIXED | GVIS_FIXEDCOL, grid.GetItemState(1, 0) & 0x70);
    grid.SetFixedColumnCount(0);
    EXPECT_EQ(0u, grid.GetItemState(0, 0) & 0x70);
}

TEST(GridModel, InsertRowAndColumnPositions)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    EXPECT_EQ(-1, grid.InsertRow(L"x", 0)) << "inside the fixed rows";
    EXPECT_EQ(-1, grid.InsertRow(L"x", 3)) << "past the last row";
    EXPECT_EQ(1, grid.InsertRow(L"new", 1));
    EXPECT_EQ(L"new", Text(grid, 1, 0));
    EXPECT_EQ(L"1,1", Text(grid, 2, 1));
    EXPECT_EQ(4, grid.InsertRow(L"", -1));
    EXPECT_EQ(5, grid.GetRowCount());
    EXPECT_EQ(static_cast<CGridDefaultCell*>(grid.GetDefaultCell(TRUE, FALSE))->GetHeight(), grid.GetRowHeight(4))
        << "an empty heading gives the fixed-row default height";
    // "new" is 13 pixels high in the cells' 8-point Tahoma, and a 3-pixel margin goes above and below.
    EXPECT_EQ(19, grid.GetRowHeight(1));

    EXPECT_EQ(-1, grid.InsertColumn(L"h", DT_LEFT, 0)) << "inside the fixed columns";
    EXPECT_EQ(-1, grid.InsertColumn(L"h", DT_LEFT, 5));
    EXPECT_EQ(3, grid.InsertColumn(L"appended", DT_RIGHT, 3));
    EXPECT_EQ(L"appended", Text(grid, 0, 3));
    EXPECT_EQ(static_cast<UINT>(DT_RIGHT), grid.GetItemFormat(2, 3));
    EXPECT_EQ(1, grid.InsertColumn(L"middle", DT_LEFT, 1));
    EXPECT_EQ(L"middle", Text(grid, 0, 1));
    EXPECT_EQ(L"0,1", Text(grid, 0, 2));
    EXPECT_EQ(42, grid.GetColumnWidth(1)) << "\"middle\" is 36 pixels wide, with a 3-pixel margin either side";
}

TEST(GridModel, InsertIntoEmptyGridMakesTheMissingDimension)
{
    CGridCtrl grid;
    EXPECT_EQ(0, grid.InsertRow(L"only"));
    EXPECT_EQ(1, grid.GetColumnCount());
    EXPECT_EQ(L"only", grid.GetItemText(0, 0));

    CGridCtrl other;
    EXPECT_EQ(0, other.InsertColumn(L"head"));
    EXPECT_EQ(1, other.GetRowCount());
    EXPECT_EQ(L"head", other.GetItemText(0, 0));
}

TEST(GridModel, DeleteRowsAndColumnsMoveTheRestAndTheFocus)
{
    TestGrid t(5, 4);
    CGridCtrl& grid = t.grid;
    grid.SetFocusCell(3, 2);
    EXPECT_FALSE(grid.DeleteRow(5));
    EXPECT_TRUE(grid.DeleteRow(1));
    EXPECT_EQ(4, grid.GetRowCount());
    EXPECT_EQ(L"2,0", Text(grid, 1, 0));
    EXPECT_EQ(CCellID(2, 2), grid.GetFocusCell());
    EXPECT_TRUE(grid.DeleteRow(2));
    EXPECT_FALSE(grid.GetFocusCell().IsValid()) << "deleting the focus row clears the focus";

    EXPECT_TRUE(grid.DeleteColumn(1));
    EXPECT_EQ(3, grid.GetColumnCount());
    EXPECT_EQ(L"0,2", Text(grid, 0, 1));
    EXPECT_TRUE(grid.DeleteColumn(0));
    EXPECT_EQ(0, grid.GetFixedColumnCount()) << "the fixed count falls with a fixed column";

    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(0, grid.GetRowCount());
    EXPECT_EQ(0, grid.GetColumnCount());
    EXPECT_EQ(0, grid.GetFixedRowCount());
}

TEST(GridModel, DeletingSelectedRowsOneByOneDeletesExactlyThoseRows)
{
    TestGrid t(7, 3);
    CGridCtrl& grid = t.grid;
    grid.SetListMode(TRUE);
    grid.SetSelectedRange(2, 1, 4, 2);
    // What the records page does: delete each selected row, staying at the same index.
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount();)
    {
        if (grid.IsCellSelected(row, 1))
            grid.DeleteRow(row);
        else
            row++;
    }
    ASSERT_EQ(4, grid.GetRowCount());
    EXPECT_EQ(L"1,0", Text(grid, 1, 0));
    EXPECT_EQ(L"5,0", Text(grid, 2, 0));
    EXPECT_EQ(L"6,0", Text(grid, 3, 0));
    EXPECT_EQ(0, grid.GetSelectedCount());
}

TEST(GridModel, ColumnOrderAfterAHeaderDrag)
{
    TestGrid t(3, 4);
    CGridCtrl& grid = t.grid;
    grid.SetColumnWidth(3, 90);
    DragHeader(t, 3, 1);
    EXPECT_EQ(L"0,3", Text(grid, 0, 1));
    EXPECT_EQ(L"0,1", Text(grid, 0, 2));
    EXPECT_EQ(L"2,2", Text(grid, 2, 3));
    EXPECT_EQ(90, grid.GetColumnWidth(1)) << "the width travels with the column";

    // Deleting a displayed column keeps cells and widths of the others in step.
    EXPECT_TRUE(grid.DeleteColumn(2));
    EXPECT_EQ(3, grid.GetColumnCount());
    EXPECT_EQ(L"0,3", Text(grid, 0, 1));
    EXPECT_EQ(90, grid.GetColumnWidth(1));
    EXPECT_EQ(L"1,2", Text(grid, 1, 2));
    EXPECT_EQ(60, grid.GetColumnWidth(2));
}

TEST(GridModel, ShrinkingColumnsAfterADragDestroysTheRemovedStoredColumns)
{
    TestGrid t(3, 4);
    CGridCtrl& grid = t.grid;
    DragHeader(t, 3, 1);
    grid.SelectAllCells();
    EXPECT_TRUE(grid.SetColumnCount(3));
    // The order starts afresh; the cells of stored columns 0..2 stay, those of column 3 are gone.
    EXPECT_EQ(L"0,1", Text(grid, 0, 1));
    EXPECT_EQ(L"2,2", Text(grid, 2, 2));
    for (int row = 0; row < 3; row++)
        for (int col = 0; col < 3; col++)
            EXPECT_NE(nullptr, grid.GetCell(row, col));
    CCellRange range = grid.GetSelectedCellRange();
    EXPECT_LE(range.GetMaxCol(), 2) << "no selection entry survives for a destroyed cell";
}

TEST(GridModel, ItemFamilyAndModifiedFlag)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    EXPECT_FALSE(grid.GetModified());
    EXPECT_TRUE(grid.SetItemData(1, 1, 77));
    EXPECT_EQ(77, grid.GetItemData(1, 1));
    EXPECT_TRUE(grid.GetModified());
    EXPECT_TRUE(grid.GetItemState(1, 1) & GVIS_MODIFIED);

    grid.SetModified(FALSE);
    EXPECT_FALSE(grid.GetItemState(1, 1) & GVIS_MODIFIED) << "clearing the grid's flag clears every cell";

    EXPECT_FALSE(grid.SetItemText(5, 1, L"x"));
    EXPECT_EQ(L"", Text(grid, 5, 1));
    EXPECT_EQ(0, grid.GetItemData(-1, 0));
    EXPECT_TRUE(grid.SetItemFgColour(1, 2, RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), grid.GetCell(1, 2)->GetTextClr());

    // A change in the sorted column removes the sort mark; a format change does not.
    grid.SortTextItems(1, TRUE);
    EXPECT_EQ(1, grid.GetSortColumn());
    grid.SetItemFormat(1, 1, DT_RIGHT);
    EXPECT_EQ(1, grid.GetSortColumn());
    grid.SetItemText(1, 1, L"changed");
    EXPECT_EQ(-1, grid.GetSortColumn());
}

TEST(GridModel, StateBitsKeepTheSelectionCountInStep)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    grid.SetItemState(1, 1, GVIS_SELECTED);
    grid.SetItemState(2, 2, GVIS_SELECTED | GVIS_MODIFIED);
    EXPECT_EQ(2, grid.GetSelectedCount());
    grid.SetItemState(1, 1, 0);
    EXPECT_EQ(1, grid.GetSelectedCount());
    EXPECT_FALSE(grid.SetItemState(9, 9, GVIS_SELECTED));
    EXPECT_EQ(1, grid.GetSelectedCount());
    EXPECT_FALSE(grid.IsCellSelected(9, 9));
    EXPECT_FALSE(grid.IsCellEditable(9, 9));
    grid.SetItemState(2, 1, GVIS_READONLY);
    EXPECT_FALSE(grid.IsCellEditable(2, 1));
    EXPECT_TRUE(grid.IsCellEditable(1, 1));
    grid.SetEditable(FALSE);
    EXPECT_FALSE(grid.IsCellEditable(1, 1));
}

TEST(GridModel, CellsFallBackOnTheirDefaultCell)
{
    CGridCtrl grid(3, 3, 1, 1);
    CGridCellBase* normal = grid.GetCell(2, 2);
    CGridCellBase* header = grid.GetCell(0, 2);
    EXPECT_EQ(grid.GetDefaultCell(FALSE, FALSE), normal->GetDefaultCell());
    EXPECT_EQ(grid.GetDefaultCell(TRUE, FALSE), header->GetDefaultCell());
    EXPECT_EQ(grid.GetDefaultCell(TRUE, TRUE), grid.GetCell(0, 0)->GetDefaultCell());
    EXPECT_EQ(grid.GetDefaultCell(FALSE, TRUE), grid.GetCell(2, 0)->GetDefaultCell());

    EXPECT_EQ(0x8824u, normal->GetFormat());
    EXPECT_EQ(grid.GetDefaultCell(FALSE, FALSE)->GetMargin(), normal->GetMargin());
    EXPECT_TRUE(normal->IsDefaultFont());
    EXPECT_EQ(grid.GetDefaultCell(FALSE, FALSE)->GetFont(), normal->GetFont());
    EXPECT_TRUE(grid.GetDefaultCell(FALSE, FALSE)->GetState() & GVIS_READONLY) << "a default cell is read-only";

    LOGFONT own = *normal->GetFont();
    own.lfHeight = -30;
    normal->SetFont(&own);
    EXPECT_FALSE(normal->IsDefaultFont());
    EXPECT_EQ(-30, normal->GetFont()->lfHeight);
    normal->SetMargin(7);
    EXPECT_EQ(7u, normal->GetMargin());

    // A cell without a grid has no defaults to fall back on.
    CGridCell loose;
    EXPECT_EQ(0u, loose.GetFormat());
    EXPECT_EQ(0u, loose.GetMargin());
    EXPECT_EQ(nullptr, loose.GetFont());
    EXPECT_STREQ(L"", loose.GetText());
}

TEST(GridModel, CellAssignmentCopiesThroughTheGetters)
{
    CGridCtrl grid(2, 2);
    CGridCellBase* source = grid.GetCell(1, 1);
    source->SetText(L"text");
    source->SetData(5);
    source->SetTextClr(RGB(9, 9, 9));
    CGridCell copy;
    copy = *source;
    EXPECT_STREQ(L"text", copy.GetText());
    EXPECT_EQ(5, copy.GetData());
    EXPECT_EQ(RGB(9, 9, 9), copy.GetTextClr());
    EXPECT_EQ(&grid, copy.GetGrid());
    copy.Reset();
    EXPECT_STREQ(L"", copy.GetText());
    EXPECT_EQ(nullptr, copy.GetGrid());
}

TEST(GridModel, TwoCellsWithOwnFontsShareOneFontObject)
{
    CGridCtrl grid(2, 2);
    LOGFONT font = *grid.GetCell(1, 1)->GetFont();
    font.lfHeight = -11;
    grid.GetCell(1, 0)->SetFont(&font);
    font.lfHeight = -25;
    grid.GetCell(1, 1)->SetFont(&font);
    CFont* first = grid.GetCell(1, 0)->GetFontObject();
    CFont* second = grid.GetCell(1, 1)->GetFontObject();
    EXPECT_EQ(first, second);
    LOGFONT held;
    ASSERT_EQ(static_cast<int>(sizeof(held)), ::GetObjectW(first->GetSafeHandle(), sizeof(held), &held));
    EXPECT_EQ(-25, held.lfHeight);
}

TEST(GridModel, SizesRefuseBadIndexesAndSumUp)
{
    TestGrid t(4, 3);
    CGridCtrl& grid = t.grid;
    EXPECT_EQ(-1, grid.GetRowHeight(4));
    EXPECT_EQ(-1, grid.GetColumnWidth(-1));
    EXPECT_FALSE(grid.SetRowHeight(1, -2));
    EXPECT_FALSE(grid.SetColumnWidth(3, 10));
    grid.SetColumnWidth(2, 0);
    EXPECT_EQ(20, grid.GetFixedRowHeight());
    EXPECT_EQ(60, grid.GetFixedColumnWidth());
    EXPECT_EQ(80, grid.GetVirtualHeight());
    EXPECT_EQ(120, grid.GetVirtualWidth());
}

TEST(GridModel, ExpandColumnsToFitSharesTheDifference)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    CRect client;
    grid.GetClientRect(client);
    int clientWidth = client.Width();
    // Fixed column 60; two data columns whose sum exceeds the client by 7.
    int first = (clientWidth + 7 - 60) / 2;
    int second = clientWidth + 7 - 60 - first;
    grid.SetColumnWidth(1, first);
    grid.SetColumnWidth(2, second);
    grid.ExpandColumnsToFit(FALSE);
    grid.GetClientRect(client);
    EXPECT_EQ(first - 4, grid.GetColumnWidth(1));
    EXPECT_EQ(second - 3, grid.GetColumnWidth(2));
    EXPECT_EQ(60, grid.GetColumnWidth(0));

    // Far too wide columns shrink to one pixel, never below.
    grid.SetColumnWidth(1, 5000);
    grid.SetColumnWidth(2, 2);
    grid.ExpandColumnsToFit(FALSE);
    EXPECT_GE(grid.GetColumnWidth(2), 1);
    EXPECT_LT(grid.GetColumnWidth(2), 5000);
}

TEST(GridModel, ExpandLastColumnAndAutoSize)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    grid.SetColumnWidth(1, 0);
    grid.SetColumnWidth(2, 0);
    grid.ExpandLastColumn();
    EXPECT_EQ(60, grid.GetColumnWidth(0)) << "only column 0 has a width: nothing changes";

    EXPECT_FALSE(grid.AutoSizeColumn(1)) << "a hidden column is never auto-sized";
    EXPECT_EQ(0, grid.GetColumnWidth(1));

    grid.SetColumnWidth(2, 5);
    grid.SetItemText(2, 2, L"a rather long text in one cell");
    EXPECT_TRUE(grid.AutoSizeColumn(2, GVS_BOTH));
    // The text is 150 pixels wide in 8-point Tahoma; 3-pixel margins and one pixel: 157.
    EXPECT_EQ(157, grid.GetColumnWidth(2));

    // Measuring only header rows of a grid without one keeps the width.
    grid.SetFixedRowCount(0);
    grid.SetColumnWidth(2, 33);
    EXPECT_TRUE(grid.AutoSizeColumn(2, GVS_HEADER));
    EXPECT_EQ(33, grid.GetColumnWidth(2));
}

TEST(GridModel, ColumnLayoutSnapshotRoundTrip)
{
    TestGrid a(2, 5);
    DragHeader(a, 4, 2);
    a.grid.SetColumnWidth(1, 17);
    DWORD* block = nullptr;
    ASSERT_EQ(12, a.grid.SaveColumnLayout(&block));
    EXPECT_EQ(0x05FD4E64u, block[0]);
    EXPECT_EQ(5u, block[1]);

    TestGrid b(2, 5);
    b.grid.RestoreColumnLayout(block);
    for (int col = 0; col < 5; col++)
    {
        EXPECT_EQ(a.grid.GetColumnWidth(col), b.grid.GetColumnWidth(col)) << col;
        EXPECT_EQ(a.grid.GetItemText(0, col), b.grid.GetItemText(0, col)) << col;
    }

    TestGrid four(2, 4);
    four.grid.RestoreColumnLayout(block);
    EXPECT_EQ(L"0,2", four.grid.GetItemText(0, 2)) << "a snapshot of five columns does not fit four";

    block[0] = 0x12345678;
    TestGrid c(2, 5);
    c.grid.RestoreColumnLayout(block);
    EXPECT_EQ(L"0,2", c.grid.GetItemText(0, 2)) << "another magic is ignored";

    block[0] = 0x05FD4E64;
    block[2] = 9;   // not a column of the grid
    c.grid.RestoreColumnLayout(block);
    EXPECT_EQ(L"0,2", c.grid.GetItemText(0, 2)) << "an order that is no permutation is ignored";
    delete[] block;
}

TEST(GridModel, RestoringALayoutKeepsSelectionAndFocusWithTheirCells)
{
    TestGrid a(4, 5);
    DragHeader(a, 4, 1);
    DWORD* block = nullptr;
    a.grid.SaveColumnLayout(&block);

    TestGrid b(4, 5);
    b.grid.SetFocusCell(2, 3);
    b.grid.SetSelectedRange(2, 3, 2, 3);
    b.grid.RestoreColumnLayout(block);
    delete[] block;
    // Stored column 3 is now shown at column 4.
    ASSERT_EQ(L"2,3", b.grid.GetItemText(2, 4));
    EXPECT_EQ(CCellID(2, 4), b.grid.GetFocusCell());
    EXPECT_TRUE(b.grid.IsCellSelected(2, 4));
    EXPECT_EQ(CCellRange(2, 4, 2, 4), b.grid.GetSelectedCellRange());

    // A new selection leaves exactly its own cells selected and focused as the grid says.
    b.grid.SetSelectedRange(1, 1, 1, 1);
    b.grid.SetFocusCell(1, 1);
    EXPECT_EQ(1, b.grid.GetSelectedCount());
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 5; col++)
        {
            bool here = row == 1 && col == 1;
            EXPECT_EQ(here, (b.grid.GetItemState(row, col) & GVIS_SELECTED) != 0) << row << "," << col;
            EXPECT_EQ(here, (b.grid.GetItemState(row, col) & GVIS_FOCUSED) != 0) << row << "," << col;
        }
}
