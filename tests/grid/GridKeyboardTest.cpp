// Focus, selection and the keyboard: arrows with and without Shift, Tab across lines, Home/End,
// fixed rows never focused, typing starting an edit, and the selection notifications to the owner.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

std::vector<int> SelectedRows(const CGridCtrl& grid, int col)
{
    std::vector<int> rows;
    for (int row = 0; row < grid.GetRowCount(); row++)
        if (grid.IsCellSelected(row, col))
            rows.push_back(row);
    return rows;
}

struct KeyboardTest : ::testing::Test
{
    ~KeyboardTest() override
    {
        SetKeyHeld(VK_SHIFT, false);
        SetKeyHeld(VK_CONTROL, false);
    }
};

} // namespace

TEST_F(KeyboardTest, FixedCellsNeverTakeTheFocus)
{
    TestGrid t(4, 4);
    t.grid.SetFocusCell(0, 0);
    EXPECT_EQ(CCellID(1, 1), t.grid.GetFocusCell());
    EXPECT_TRUE(t.grid.GetItemState(1, 1) & GVIS_FOCUSED);
    t.grid.SetFocusCell(2, 3);
    EXPECT_FALSE(t.grid.GetItemState(1, 1) & GVIS_FOCUSED);
    EXPECT_TRUE(t.grid.GetItemState(2, 3) & GVIS_FOCUSED);
}

TEST_F(KeyboardTest, ListModeDownSelectsTheNextRowAndNotifies)
{
    TestGrid t(5, 3);
    t.grid.SetListMode(TRUE);
    t.grid.SetFocusCell(1, 1);
    t.owner.Clear();
    t.Key(VK_DOWN);
    EXPECT_EQ(CCellID(2, 1), t.grid.GetFocusCell());
    EXPECT_EQ((std::vector<int>{2}), SelectedRows(t.grid, 2));
    ASSERT_EQ(2u, t.owner.notes.size());
    EXPECT_EQ(GVN_SELCHANGING, t.owner.notes[0].code);
    EXPECT_EQ(GVN_SELCHANGED, t.owner.notes[1].code);
    EXPECT_EQ(2, t.owner.notes[1].row);

    // Down on the last row keeps focus and selection.
    t.grid.SetFocusCell(4, 1);
    t.grid.SetSelectedRange(4, 1, 4, 2);
    t.owner.Clear();
    t.Key(VK_DOWN);
    EXPECT_EQ(CCellID(4, 1), t.grid.GetFocusCell());
    EXPECT_EQ((std::vector<int>{4}), SelectedRows(t.grid, 1));
    EXPECT_EQ(0, t.owner.Count(GVN_SELCHANGING));
}

TEST_F(KeyboardTest, ShiftDownExtendsFromTheStartRowAndPlainDownStartsAgain)
{
    TestGrid t(8, 3);
    t.grid.SetListMode(TRUE);
    t.grid.SetFocusCell(2, 1);
    t.Key(VK_UP);   // select row 1 and make it the start
    t.Key(VK_DOWN); // select row 2, start row 2
    SetKeyHeld(VK_SHIFT, true);
    t.Key(VK_DOWN);
    t.Key(VK_DOWN);
    t.Key(VK_DOWN);
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), SelectedRows(t.grid, 2));
    SetKeyHeld(VK_SHIFT, false);
    t.Key(VK_DOWN);
    EXPECT_EQ((std::vector<int>{6}), SelectedRows(t.grid, 2));
}

TEST_F(KeyboardTest, ShiftArrowsSelectABlockOfCells)
{
    TestGrid t(6, 5);
    t.grid.SetFocusCell(1, 1);
    t.Key(VK_RIGHT);
    t.Key(VK_LEFT);
    SetKeyHeld(VK_SHIFT, true);
    t.Key(VK_RIGHT);
    t.Key(VK_DOWN);
    EXPECT_EQ(4, t.grid.GetSelectedCount());
    EXPECT_EQ(CCellRange(1, 1, 2, 2), t.grid.GetSelectedCellRange());
    EXPECT_EQ(CCellID(2, 2), t.grid.GetFocusCell());
}

TEST_F(KeyboardTest, TabWrapsToTheNextLineAndShiftTabBack)
{
    TestGrid t(4, 4);
    t.grid.SetFocusCell(1, 3);
    t.Key(VK_TAB);
    EXPECT_EQ(CCellID(2, 1), t.grid.GetFocusCell());
    SetKeyHeld(VK_SHIFT, true);
    t.Key(VK_TAB);
    EXPECT_EQ(CCellID(1, 3), t.grid.GetFocusCell());
}

TEST_F(KeyboardTest, HomeEndAndCtrlJumpsSkipHiddenColumns)
{
    TestGrid t(10, 6);
    t.grid.SetColumnWidth(1, 0);
    t.grid.SetFocusCell(5, 3);
    t.Key(VK_HOME);
    EXPECT_EQ(CCellID(5, 2), t.grid.GetFocusCell()) << "the hidden first column is passed over";
    t.Key(VK_END);
    EXPECT_EQ(CCellID(5, 5), t.grid.GetFocusCell());
    SetKeyHeld(VK_CONTROL, true);
    t.Key(VK_HOME);
    EXPECT_EQ(CCellID(1, 2), t.grid.GetFocusCell());
    t.Key(VK_END);
    EXPECT_EQ(CCellID(9, 5), t.grid.GetFocusCell());
}

TEST_F(KeyboardTest, PageDownAtTheBottomGoesToTheLastRow)
{
    TestGrid t(40, 3);
    t.grid.SetFocusCell(1, 1);
    t.Key(VK_NEXT);
    int afterOnePage = t.grid.GetFocusCell().row;
    EXPECT_GT(afterOnePage, 1);
    EXPECT_LT(afterOnePage, 39);
    EXPECT_GT(t.grid.GetScrollPos32(SB_VERT), 0);
    for (int i = 0; i < 5; i++)
        t.Key(VK_NEXT);
    EXPECT_EQ(39, t.grid.GetFocusCell().row);
    EXPECT_TRUE(t.grid.IsCellVisible(39, 1));
}

TEST_F(KeyboardTest, PageUpMovesBackByTheScrolledRowsAndStopsAtTheFirstRow)
{
    TestGrid t(40, 3);
    t.grid.SetFocusCell(39, 1);
    t.grid.EnsureVisible(39, 1);
    ASSERT_GT(t.grid.GetScrollPos32(SB_VERT), 0);
    t.Key(VK_PRIOR);
    const int afterOnePage = t.grid.GetFocusCell().row;
    EXPECT_LT(afterOnePage, 39);
    EXPECT_GT(afterOnePage, 1);
    EXPECT_TRUE(t.grid.IsCellVisible(afterOnePage, 1));
    for (int i = 0; i < 5; i++)
        t.Key(VK_PRIOR);
    EXPECT_EQ(CCellID(1, 1), t.grid.GetFocusCell());
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_VERT));
}

TEST_F(KeyboardTest, TabPastTheLastVisibleRowScrollsDownAndToTheLeftEdge)
{
    TestGrid t(40, 3);
    t.grid.SetFocusCell(1, 1);
    for (int i = 0; i < 25; i++)
        t.Key(VK_DOWN);
    const int row = t.grid.GetFocusCell().row;
    t.Key(VK_END);
    EXPECT_EQ(CCellID(row, 2), t.grid.GetFocusCell());
    t.Key(VK_TAB);
    EXPECT_EQ(CCellID(row + 1, 1), t.grid.GetFocusCell());
    EXPECT_TRUE(t.grid.IsCellVisible(row + 1, 1));
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_HORZ));
}

TEST_F(KeyboardTest, ArrowOutOfViewScrollsTheFocusIntoView)
{
    TestGrid t(40, 3);
    t.grid.SetFocusCell(1, 1);
    for (int i = 0; i < 25; i++)
        t.Key(VK_DOWN);
    EXPECT_EQ(26, t.grid.GetFocusCell().row);
    EXPECT_TRUE(t.grid.IsCellVisible(26, 1));
    EXPECT_FALSE(t.grid.IsCellVisible(1, 1));
}

TEST_F(KeyboardTest, SelectionStartingInColumnZeroIncludesTheFixedColumn)
{
    TestGrid t(5, 3);
    t.grid.SetListMode(TRUE);
    t.grid.SetSelectInFixedColumns(TRUE);
    t.grid.SetFocusCell(1, 1);
    t.Key(VK_DOWN);
    EXPECT_TRUE(t.grid.IsCellSelected(2, 0));
    EXPECT_TRUE(t.grid.IsCellSelected(2, 2));
}

TEST_F(KeyboardTest, ControlKeysSelectAllAndDeleteCutsTheText)
{
    TestGrid t(4, 4);
    t.grid.SetFocusCell(1, 1);
    SetKeyHeld(VK_CONTROL, true);
    t.Key('A');
    SetKeyHeld(VK_CONTROL, false);
    EXPECT_EQ(9, t.grid.GetSelectedCount());
    t.grid.SetSelectedRange(2, 2, 2, 3);
    t.Key(VK_DELETE);
    EXPECT_EQ(L"", t.grid.GetItemText(2, 2));
    EXPECT_EQ(L"", t.grid.GetItemText(2, 3));
    EXPECT_EQ(L"2,1", t.grid.GetItemText(2, 1));
    EXPECT_TRUE(t.grid.GetItemState(2, 2) & GVIS_MODIFIED);
}

TEST_F(KeyboardTest, KeysWithoutAFocusCellDoNothing)
{
    TestGrid t(4, 4);
    t.Key(VK_DOWN);
    EXPECT_FALSE(t.grid.GetFocusCell().IsValid());
    EXPECT_EQ(0, t.grid.GetSelectedCount());
    EXPECT_TRUE(t.owner.notes.empty());
}

TEST_F(KeyboardTest, DialogCodeAsksForArrowsCharsAndTab)
{
    TestGrid t(2, 2);
    LRESULT code = t.Send(WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB), code);
    SetKeyHeld(VK_CONTROL, true);
    EXPECT_EQ(static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS), t.Send(WM_GETDLGCODE, 0, 0));
}
