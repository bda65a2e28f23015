// Clipboard text and drag and drop: the exact bytes a copy makes, paste into cells (separators,
// CR LF, hidden rows, a final line break, blocks without a terminator), the real clipboard, and drags
// through a replaced drag loop that drives the grid's drop target; a drag near the edges scrolls.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "GridTestSupport.h"

namespace {

std::string Bytes(COleDataSource* source)
{
    COleDataObject data;
    data.Attach(source->GetDataObject(), FALSE);
    HGLOBAL memory = data.GetGlobalData(CF_TEXT);
    if (!memory)
        return "<none>";
    std::string bytes(static_cast<const char*>(::GlobalLock(memory)), ::GlobalSize(memory));
    ::GlobalUnlock(memory);
    ::GlobalFree(memory);
    return bytes;
}

// A data source offering exactly these bytes as CF_TEXT (no terminator added).
COleDataSource* TextSource(const std::string& bytes)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(memory), bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    COleDataSource* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, memory);
    return source;
}

BOOL Paste(TestGrid& t, int row, int col, const std::string& bytes, BOOL select = TRUE)
{
    COleDataSource* source = TextSource(bytes);
    COleDataObject data;
    data.Attach(source->GetDataObject(), FALSE);
    BOOL result = t.grid.PasteTextToGrid(CCellID(row, col), &data, select);
    delete source;
    return result;
}

// The replaced drag loop: drags over one client point of the grid and drops there, answering the
// effect as the system's loop would (none unless the drop was taken).
CGridCtrl* g_dragGrid = nullptr;
CPoint g_dropPoint;
int g_drags = 0;

DROPEFFECT DropOnGrid(COleDataSource& source, DROPEFFECT allowed)
{
    g_drags++;
    COleDataObject data;
    data.Attach(source.GetDataObject(), FALSE);
    CGridDropTarget& target = g_dragGrid->GetDropTarget();
    DROPEFFECT effect = target.OnDragEnter(g_dragGrid, &data, MK_LBUTTON, g_dropPoint);
    effect = target.OnDragOver(g_dragGrid, &data, MK_LBUTTON, g_dropPoint);
    if (effect == DROPEFFECT_NONE || !(effect & allowed))
    {
        target.OnDragLeave(g_dragGrid);
        return DROPEFFECT_NONE;
    }
    return target.OnDrop(g_dragGrid, &data, effect, g_dropPoint) ? effect : DROPEFFECT_NONE;
}

struct DragTest : ::testing::Test
{
    TestGrid t{6, 5};
    DragTest()
    {
        g_dragGrid = &t.grid;
        g_drags = 0;
        COleDataSource::SetDragDropHook(DropOnGrid);
    }
    ~DragTest() override { COleDataSource::SetDragDropHook(nullptr); }

    // Press, move and release with the left button, as a user drags.
    void MouseDrag(CPoint from, CPoint to)
    {
        g_dropPoint = to;
        t.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        t.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 4, from.y + 4));
        t.Send(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
};

} // namespace

TEST(GridClipboard, CopySkipsHiddenColumnsAndEndsWithOneNul)
{
    TestGrid t(4, 4);
    t.grid.SetColumnWidth(2, 0);
    t.grid.SetSelectedRange(1, 1, 2, 3);
    COleDataSource* source = t.grid.CopyTextFromGrid();
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(std::string("1,1\t1,3\r\n2,1\t2,3\0", 17), Bytes(source));
    delete source;
}

TEST(GridClipboard, UnselectedCellsInsideTheRangeGiveEmptyFields)
{
    TestGrid t(4, 4);
    t.grid.SetItemState(1, 1, GVIS_SELECTED);
    t.grid.SetItemState(2, 3, GVIS_SELECTED);
    t.grid.SetItemText(2, 3, L"caf\u00e9");
    COleDataSource* source = t.grid.CopyTextFromGrid();
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(std::string("1,1\t\t\r\n\t\tcaf\xe9\0", 14), Bytes(source)) << "ANSI text, code page 1252";
    delete source;
}

TEST(GridClipboard, NothingSelectedCopiesNothing)
{
    TestGrid t(3, 3);
    EXPECT_EQ(nullptr, t.grid.CopyTextFromGrid());
}

TEST(GridClipboard, PasteSplitsAtTabsCommasAndLines)
{
    TestGrid t(5, 5);
    ASSERT_TRUE(Paste(t, 1, 1, std::string("a, b\tc\r\nd\0", 11)));
    EXPECT_EQ(L"a", t.grid.GetItemText(1, 1));
    EXPECT_EQ(L"b", t.grid.GetItemText(1, 2));
    EXPECT_EQ(L"c", t.grid.GetItemText(1, 3)) << "the CR is trimmed away";
    EXPECT_EQ(L"d", t.grid.GetItemText(2, 1));
    EXPECT_EQ(L"2,2", t.grid.GetItemText(2, 2));
    EXPECT_EQ(CCellRange(1, 1, 2, 3), t.grid.GetSelectedCellRange()) << "the pasted cells are selected";
    EXPECT_TRUE(t.grid.GetItemState(1, 2) & GVIS_MODIFIED);
}

TEST(GridClipboard, AFinalLineBreakErasesNoCell)
{
    TestGrid t(5, 5);
    ASSERT_TRUE(Paste(t, 1, 1, std::string("x\r\n\0", 4)));
    EXPECT_EQ(L"x", t.grid.GetItemText(1, 1));
    EXPECT_EQ(L"2,1", t.grid.GetItemText(2, 1));
}

TEST(GridClipboard, PasteSkipsHiddenRowsAndColumns)
{
    TestGrid t(5, 5);
    t.grid.SetRowHeight(2, 0);
    t.grid.SetColumnWidth(2, 0);
    ASSERT_TRUE(Paste(t, 1, 1, std::string("p\tq\nr", 5), FALSE));
    EXPECT_EQ(L"p", t.grid.GetItemText(1, 1));
    EXPECT_EQ(L"q", t.grid.GetItemText(1, 3));
    EXPECT_EQ(L"1,2", t.grid.GetItemText(1, 2));
    EXPECT_EQ(L"r", t.grid.GetItemText(3, 1));
    EXPECT_EQ(L"2,1", t.grid.GetItemText(2, 1));
    EXPECT_EQ(0, t.grid.GetSelectedCount());
}

TEST(GridClipboard, PasteReadsNoFurtherThanTheBlock)
{
    TestGrid t(5, 5);
    // Three bytes and no terminator: nothing beyond them may be read.
    ASSERT_TRUE(Paste(t, 1, 1, "abc"));
    EXPECT_EQ(L"abc", t.grid.GetItemText(1, 1));
}

TEST(GridClipboard, PasteRefusesAReadOnlyTargetAndStopsAtTheGridEdge)
{
    TestGrid t(3, 3);
    t.grid.SetItemState(1, 1, GVIS_READONLY);
    EXPECT_FALSE(Paste(t, 1, 1, "x"));
    EXPECT_EQ(L"1,1", t.grid.GetItemText(1, 1));
    EXPECT_TRUE(Paste(t, 2, 2, "y\tz\nw\tv"));
    EXPECT_EQ(L"y", t.grid.GetItemText(2, 2));
    EXPECT_EQ(3, t.grid.GetRowCount());
    EXPECT_EQ(3, t.grid.GetColumnCount());
}

TEST(GridClipboard, CopyAndPasteThroughTheClipboard)
{
    TestGrid t(5, 4, 1, 1, true);
    // Texts without commas: a comma separates pasted cells.
    t.grid.SetItemText(1, 1, L"alpha");
    t.grid.SetItemText(1, 2, L"beta");
    t.grid.SetItemText(4, 1, L"gamma");
    t.grid.SetSelectedRange(1, 1, 1, 2);
    t.grid.OnEditCopy();
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_TEXT));
    t.grid.SetFocusCell(3, 2);
    t.grid.SetSelectedRange(3, 2, 3, 2);
    t.grid.OnEditPaste();
    EXPECT_EQ(L"alpha", t.grid.GetItemText(3, 2));
    EXPECT_EQ(L"beta", t.grid.GetItemText(3, 3));

    t.grid.SetSelectedRange(4, 1, 4, 1);
    t.grid.OnEditCut();
    EXPECT_EQ(L"", t.grid.GetItemText(4, 1));
    t.grid.SetSelectedRange(2, 3, 2, 3);
    t.grid.OnEditPaste();
    EXPECT_EQ(L"gamma", t.grid.GetItemText(2, 3));
}

TEST(GridClipboard, EditCommandsAreEnabledOnlyWhenTheyCanRun)
{
    TestGrid t(3, 3);
    EXPECT_FALSE(t.grid.CanEditCopy());
    t.grid.SetSelectedRange(1, 1, 1, 1);
    EXPECT_TRUE(t.grid.CanEditCopy());
    EXPECT_TRUE(t.grid.CanEditCut());
    t.grid.SetEditable(FALSE);
    EXPECT_FALSE(t.grid.CanEditCut());
    EXPECT_FALSE(t.grid.CanEditPaste());
}

TEST_F(DragTest, DraggingCellsWithinTheGridCutsNothing)
{
    t.grid.EnableDragAndDrop(TRUE);
    CPoint from = t.Centre(2, 2);
    t.Click(from);   // focus and select the cell; a second press on its text prepares a drag
    t.owner.Clear();
    MouseDrag(from, t.Centre(4, 3));
    EXPECT_EQ(1, g_drags);
    EXPECT_EQ(1, t.owner.Count(GVN_BEGINDRAG));
    EXPECT_EQ(L"2,2", t.grid.GetItemText(2, 2)) << "the drop moved nothing, so nothing is cut";
    EXPECT_FALSE(t.grid.GetItemState(4, 3) & GVIS_DROPHILITED) << "the drop highlight is gone";
    EXPECT_EQ(CGridCtrl::MOUSE_NOTHING, t.grid.GetMouseMode());
}

TEST_F(DragTest, NoDragWithoutDragAndDrop)
{
    CPoint from = t.Centre(2, 2);
    t.Click(from);
    MouseDrag(from, t.Centre(4, 3));
    EXPECT_EQ(0, g_drags);
}

TEST_F(DragTest, HeaderDragReordersTheColumns)
{
    t.grid.SetColumnReorder(TRUE);
    MouseDrag(t.Centre(0, 4), t.Centre(0, 1));
    EXPECT_EQ(1, g_drags);
    EXPECT_EQ(L"0,4", t.grid.GetItemText(0, 1));
    EXPECT_EQ(L"3,4", t.grid.GetItemText(3, 1));
    EXPECT_EQ(L"0,1", t.grid.GetItemText(0, 2));
    EXPECT_EQ(L"0,3", t.grid.GetItemText(0, 4));
}

TEST_F(DragTest, HeaderDroppedOnItselfOrABodyCellChangesNothing)
{
    t.grid.SetColumnReorder(TRUE);
    MouseDrag(t.Centre(0, 3), t.Centre(0, 3));
    EXPECT_EQ(L"0,3", t.grid.GetItemText(0, 3));
    MouseDrag(t.Centre(0, 3), t.Centre(3, 1));
    EXPECT_EQ(L"0,3", t.grid.GetItemText(0, 3));
    EXPECT_EQ(L"0,1", t.grid.GetItemText(0, 1));
}

TEST_F(DragTest, ADropTheGridRefusesLeavesNoHighlight)
{
    // Text dragged in from elsewhere onto a grid that does not take drops.
    COleDataSource* source = TextSource("dropped");
    COleDataObject data;
    data.Attach(source->GetDataObject(), FALSE);
    CGridDropTarget& target = t.grid.GetDropTarget();
    CPoint over = t.Centre(3, 2);
    target.OnDragEnter(&t.grid, &data, MK_LBUTTON, t.Centre(2, 2));
    DROPEFFECT effect = target.OnDragOver(&t.grid, &data, MK_LBUTTON, over);
    ASSERT_NE(static_cast<DROPEFFECT>(DROPEFFECT_NONE), effect) << "rows may be dragged over any data cell";
    ASSERT_TRUE(t.grid.GetItemState(3, 2) & GVIS_DROPHILITED);
    EXPECT_FALSE(target.OnDrop(&t.grid, &data, effect, over));
    EXPECT_FALSE(t.grid.GetItemState(3, 2) & GVIS_DROPHILITED);
    EXPECT_EQ(L"3,2", t.grid.GetItemText(3, 2));
    delete source;
}

TEST(GridDragOver, NearTheEdgesADragScrollsByALineOrAPageAndTheHighlightFollowsTheCell)
{
    // Twelve 60-pixel columns in a 400-pixel grid: the view scrolls sideways.
    TestGrid t(6, 12);
    t.grid.EnableDragAndDrop(TRUE);
    COleDataSource* source = TextSource("dragged");
    COleDataObject data;
    data.Attach(source->GetDataObject(), FALSE);
    CGridDropTarget& target = t.grid.GetDropTarget();
    const CRect client = GridClient(t.grid);
    const int y = t.Centre(2, 1).y;
    ASSERT_EQ(0, t.grid.GetScrollPos32(SB_HORZ));

    target.OnDragEnter(&t.grid, &data, MK_LBUTTON, t.Centre(2, 2));
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, t.Centre(2, 2));
    EXPECT_TRUE(t.grid.GetItemState(2, 2) & GVIS_DROPHILITED);
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, t.Centre(3, 3));
    EXPECT_FALSE(t.grid.GetItemState(2, 2) & GVIS_DROPHILITED) << "the highlight left the cell passed";
    EXPECT_TRUE(t.grid.GetItemState(3, 3) & GVIS_DROPHILITED);
    EXPECT_EQ(0, t.grid.GetScrollPos32(SB_HORZ)) << "away from the edges nothing scrolls";

    // Within 10 pixels of the right edge: one column; within 3 pixels: a page, more than one column.
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, CPoint(client.right - 6, y));
    EXPECT_EQ(60, t.grid.GetScrollPos32(SB_HORZ));
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, CPoint(client.right - 1, y));
    const int afterPage = t.grid.GetScrollPos32(SB_HORZ);
    EXPECT_GT(afterPage, 120);
    // Over the fixed column, 10 pixels or more left of its edge: one column back; at its first pixels, a page.
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, CPoint(40, y));
    EXPECT_EQ(afterPage - 60, t.grid.GetScrollPos32(SB_HORZ));
    target.OnDragOver(&t.grid, &data, MK_LBUTTON, CPoint(1, y));
    EXPECT_LT(t.grid.GetScrollPos32(SB_HORZ), afterPage - 60);

    target.OnDragLeave(&t.grid);
    for (int row = 0; row < 6; row++)
        for (int col = 0; col < 12; col++)
            EXPECT_FALSE(t.grid.GetItemState(row, col) & GVIS_DROPHILITED) << row << "," << col;
    delete source;
}
