// The in-place editor and the title tip on real windows: typing starts an edit, Enter keeps it, Esc
// restores the text, a refused edit changes nothing, structural changes end the edit first; the tip
// shows only for clipped text and hands clicks to the grid beneath.
#include <gtest/gtest.h>
#include "GridTestSupport.h"
#include "grid/InPlaceEdit.h"

namespace {

HWND Editor(TestGrid& t)
{
    return ::GetDlgItem(t.grid.GetSafeHwnd(), IDC_INPLACE_CONTROL);
}

CString WindowText(HWND hwnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
}

void Type(TestGrid& t, UINT ch)
{
    t.Send(WM_CHAR, ch, 0);
    PumpMessages();
}

void TypeIntoEditor(TestGrid& t, UINT ch)
{
    ::SendMessageW(Editor(t), WM_CHAR, ch, 0);
    PumpMessages();
}

struct EditTest : ::testing::Test
{
    TestGrid t{6, 4, 1, 1, true};
    EditTest()
    {
        t.grid.SetFocus();
        t.grid.SetFocusCell(2, 2);
        t.grid.SetSelectedRange(2, 2, 2, 2);
    }
};

} // namespace

TEST_F(EditTest, TypingALetterReplacesTheTextAndEnterKeepsIt)
{
    Type(t, 'q');
    ASSERT_NE(nullptr, Editor(t));
    EXPECT_TRUE(t.grid.IsItemEditing(2, 2));
    EXPECT_EQ(L"q", WindowText(Editor(t)));
    t.owner.Clear();
    TypeIntoEditor(t, VK_RETURN);
    EXPECT_EQ(nullptr, Editor(t));
    EXPECT_EQ(L"q", t.grid.GetItemText(2, 2));
    EXPECT_FALSE(t.grid.IsItemEditing(2, 2));
    EXPECT_TRUE(t.grid.GetItemState(2, 2) & GVIS_MODIFIED);
    const RecordedNotify* end = t.owner.Last(GVN_ENDLABELEDIT);
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(2, end->row);
    EXPECT_EQ(2, end->col);
}

TEST_F(EditTest, EscapeRestoresTheText)
{
    Type(t, 'z');
    ASSERT_NE(nullptr, Editor(t));
    t.owner.Clear();
    TypeIntoEditor(t, VK_ESCAPE);
    EXPECT_EQ(nullptr, Editor(t));
    EXPECT_EQ(L"2,2", t.grid.GetItemText(2, 2));
    EXPECT_FALSE(t.grid.GetItemState(2, 2) & GVIS_MODIFIED);
    EXPECT_EQ(0, t.owner.Count(GVN_ENDLABELEDIT)) << "nothing changed, so nothing to confirm";
}

TEST_F(EditTest, EscapeStillReportsTheEndWithItsKey)
{
    // An editor whose owner records its notification directly.
    CRect rect(10, 10, 110, 30);
    new CInPlaceEdit(t.owner.Wnd(), rect, ES_LEFT, IDC_INPLACE_CONTROL, 3, 1, L"before", VK_LBUTTON);
    HWND editor = ::GetDlgItem(t.owner.Hwnd(), IDC_INPLACE_CONTROL);
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(L"before", WindowText(editor));
    ::SetWindowTextW(editor, L"after");
    ::SendMessageW(editor, WM_CHAR, VK_ESCAPE, 0);
    PumpMessages();
    const RecordedNotify* end = t.owner.Last(GVN_ENDLABELEDIT);
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(27, end->lParam);
    EXPECT_EQ(L"before", end->text);
    EXPECT_EQ(3, end->row);
    EXPECT_EQ(1, end->col);
    EXPECT_FALSE(::IsWindow(editor));
}

TEST_F(EditTest, ARefusedEditKeepsTheOldTextAndState)
{
    t.owner.endEditAnswer = -1;
    Type(t, 'w');
    TypeIntoEditor(t, VK_RETURN);
    EXPECT_EQ(L"2,2", t.grid.GetItemText(2, 2));
    EXPECT_FALSE(t.grid.GetItemState(2, 2) & GVIS_MODIFIED);
    EXPECT_FALSE(t.grid.GetModified());
}

TEST_F(EditTest, ARefusedStartOpensNoEditor)
{
    t.owner.beginEditAnswer = -1;
    Type(t, 'w');
    EXPECT_EQ(nullptr, Editor(t));
    EXPECT_FALSE(t.grid.IsItemEditing(2, 2));
}

TEST_F(EditTest, F2KeepsTheTextWithTheCaretAtItsEnd)
{
    t.Key(VK_F2);
    PumpMessages();
    ASSERT_NE(nullptr, Editor(t));
    EXPECT_EQ(L"2,2", WindowText(Editor(t)));
    DWORD start = 0, end = 0;
    ::SendMessageW(Editor(t), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(3u, start);
    EXPECT_EQ(3u, end);
    // Opened as by a click: a plain arrow moves the caret and does not end the edit.
    ::SendMessageW(Editor(t), WM_KEYDOWN, VK_LEFT, 0);
    PumpMessages();
    EXPECT_NE(nullptr, Editor(t));
    TypeIntoEditor(t, VK_RETURN);
}

TEST_F(EditTest, AnEditOpenedByTypingEndsOnAnArrowAndMovesOn)
{
    Type(t, 'k');
    ::SendMessageW(Editor(t), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    EXPECT_EQ(L"k", t.grid.GetItemText(2, 2));
    EXPECT_EQ(CCellID(3, 2), t.grid.GetFocusCell());
    // The key that ended the edit opens the next cell's editor.
    ASSERT_NE(nullptr, Editor(t));
    EXPECT_TRUE(t.grid.IsItemEditing(3, 2));
    TypeIntoEditor(t, VK_ESCAPE);
}

TEST_F(EditTest, DeletingARowEndsTheEditFirst)
{
    Type(t, 'm');
    ASSERT_NE(nullptr, Editor(t));
    EXPECT_TRUE(t.grid.DeleteRow(1));
    PumpMessages();
    EXPECT_EQ(nullptr, Editor(t));
    EXPECT_EQ(L"m", t.grid.GetItemText(1, 2)) << "the edit went into its cell, which then moved up";
    for (int row = 0; row < t.grid.GetRowCount(); row++)
        for (int col = 0; col < t.grid.GetColumnCount(); col++)
            EXPECT_FALSE(t.grid.IsItemEditing(row, col));
}

TEST_F(EditTest, NoEditOnAReadOnlyGrid)
{
    t.grid.SetEditable(FALSE);
    Type(t, 'a');
    EXPECT_EQ(nullptr, Editor(t));
}

namespace {

HWND TitleTip(TestGrid& t)
{
    return t.grid.GetTitleTip().GetSafeHwnd();
}

void Hover(TestGrid& t, CPoint point)
{
    t.Send(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

} // namespace

TEST_F(EditTest, TitleTipShowsOnlyForClippedText)
{
    t.grid.SetItemText(3, 1, L"a text far too long for a cell of sixty pixels");
    Hover(t, t.Centre(3, 2));
    EXPECT_FALSE(TitleTip(t) && ::IsWindowVisible(TitleTip(t))) << "2-character text fits";
    Hover(t, t.Centre(3, 1));
    ASSERT_NE(nullptr, TitleTip(t));
    EXPECT_TRUE(::IsWindowVisible(TitleTip(t)));
    CRect tip, cell;
    ::GetWindowRect(TitleTip(t), &tip);
    t.grid.GetCellRect(3, 1, cell);
    t.grid.ClientToScreen(cell);
    EXPECT_GT(tip.Width(), cell.Width()) << "the tip is as wide as the whole text";
    t.grid.GetTitleTip().Hide();
    EXPECT_FALSE(::IsWindowVisible(TitleTip(t)));
}

TEST_F(EditTest, TitleTipHandsClicksToTheGrid)
{
    t.grid.SetItemText(4, 1, L"another text far too long for sixty pixels");
    Hover(t, t.Centre(4, 1));
    ASSERT_TRUE(TitleTip(t) && ::IsWindowVisible(TitleTip(t)));
    CPoint inTip(5, 5);
    ::PostMessageW(TitleTip(t), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inTip.x, inTip.y));
    PumpMessages();
    EXPECT_FALSE(::IsWindowVisible(TitleTip(t)));
    EXPECT_EQ(CCellID(4, 1), t.grid.GetFocusCell()) << "the press reached the cell beneath";
    CPoint centre = t.Centre(4, 1);
    t.Send(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));

    // A second press within the double-click time arrives as a double-click.
    t.owner.Clear();
    Hover(t, t.Centre(4, 1));
    ASSERT_TRUE(::IsWindowVisible(TitleTip(t)));
    ::PostMessageW(TitleTip(t), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inTip.x, inTip.y));
    PumpMessages();
    EXPECT_EQ(1, t.owner.Count(NM_DBLCLK));
}

TEST_F(EditTest, EscapeAndControlLettersOpenNoEditor)
{
    Type(t, VK_ESCAPE);
    EXPECT_EQ(nullptr, Editor(t));
    SetKeyHeld(VK_CONTROL, true);
    Type(t, 'a');
    SetKeyHeld(VK_CONTROL, false);
    EXPECT_EQ(nullptr, Editor(t));
    EXPECT_FALSE(t.grid.IsItemEditing(2, 2));
}

TEST_F(EditTest, InsertingOrDeletingColumnsAndRowsEndsTheEditFirst)
{
    struct Change
    {
        const char* name;
        void (*apply)(CGridCtrl&);
        int row, col;   // where the edited cell is afterwards
    };
    const Change changes[] = {
        {"insert row", [](CGridCtrl& g) { g.InsertRow(L"new", 1); }, 3, 2},
        {"insert column", [](CGridCtrl& g) { g.InsertColumn(L"new", DT_LEFT, 1); }, 2, 3},
        {"delete column", [](CGridCtrl& g) { g.DeleteColumn(1); }, 2, 1},
    };
    for (const Change& change : changes)
    {
        TestGrid g(6, 4, 1, 1, true);
        g.grid.SetFocus();
        g.grid.SetFocusCell(2, 2);
        g.Send(WM_CHAR, 'm', 0);
        PumpMessages();
        ASSERT_NE(nullptr, Editor(g)) << change.name;
        change.apply(g.grid);
        PumpMessages();
        EXPECT_EQ(nullptr, Editor(g)) << change.name;
        EXPECT_EQ(L"m", g.grid.GetItemText(change.row, change.col)) << change.name << ": the edit reached its cell";
        for (int row = 0; row < g.grid.GetRowCount(); row++)
            for (int col = 0; col < g.grid.GetColumnCount(); col++)
                EXPECT_FALSE(g.grid.IsItemEditing(row, col)) << change.name << " " << row << "," << col;
    }
}

TEST_F(EditTest, AnEditorWhoseCellMovedLeavesNoCellHoldingIt)
{
    Type(t, 'm');
    HWND editor = Editor(t);
    ASSERT_NE(nullptr, editor);
    // The edited cell and the one below change places behind the editor's back.
    CGridCellBase* edited = t.grid.GetCell(2, 2);
    CGridCellBase* below = t.grid.GetCell(3, 2);
    t.grid.SetCell(2, 2, below);
    t.grid.SetCell(3, 2, edited);
    TypeIntoEditor(t, VK_RETURN);
    EXPECT_FALSE(::IsWindow(editor));
    EXPECT_FALSE(edited->IsEditing()) << "the moved cell no longer holds the closed editor";
    EXPECT_EQ(nullptr, edited->GetEditWnd());
    EXPECT_EQ(L"2,2", t.grid.GetItemText(3, 2));
    EXPECT_EQ(L"3,2", t.grid.GetItemText(2, 2)) << "the text went into neither cell";
    // The cell can be edited again.
    t.grid.SetFocusCell(3, 2);
    Type(t, 'n');
    ASSERT_NE(nullptr, Editor(t));
    TypeIntoEditor(t, VK_RETURN);
    EXPECT_EQ(L"n", t.grid.GetItemText(3, 2));
}

namespace {

// A grid whose cells refuse every edited text.
class RefusingGrid : public CGridCtrl
{
public:
    RefusingGrid() : CGridCtrl(4, 4, 1, 1) {}
    BOOL ValidateEdit(int, int, LPCTSTR) override { return FALSE; }
};

} // namespace

TEST(GridEditRefusal, ARefusedTextKeepsTheCellsModifiedStateWhateverItWas)
{
    GridOwner owner;
    RefusingGrid grid;
    ASSERT_TRUE(grid.Create(CRect(0, 0, 300, 200), owner.Wnd(), 77, WS_CHILD | WS_VISIBLE));
    grid.SetItemText(2, 2, L"old");
    grid.SetModified(FALSE);
    EXPECT_FALSE(grid.ValidateAndModifyCellContents(2, 2, L"new"));
    EXPECT_EQ(L"old", grid.GetItemText(2, 2));
    EXPECT_FALSE(grid.GetItemState(2, 2) & GVIS_MODIFIED);
    EXPECT_FALSE(grid.GetModified());

    grid.SetItemText(2, 1, L"kept");   // marks the cell and the grid modified
    ASSERT_TRUE(grid.GetItemState(2, 1) & GVIS_MODIFIED);
    EXPECT_FALSE(grid.ValidateAndModifyCellContents(2, 1, L"other"));
    EXPECT_EQ(L"kept", grid.GetItemText(2, 1));
    EXPECT_TRUE(grid.GetItemState(2, 1) & GVIS_MODIFIED) << "a modified cell stays modified";
    EXPECT_TRUE(grid.GetModified());
}

TEST_F(EditTest, TitleTipStaysWhileTheMouseMovesInsideItsCell)
{
    t.grid.SetItemText(1, 1, L"a first text far too long for a cell of sixty pixels");
    t.grid.SetItemText(4, 2, L"a second text far too long for a cell of sixty pixels");
    Hover(t, t.Centre(1, 1));
    ASSERT_TRUE(TitleTip(t) && ::IsWindowVisible(TitleTip(t)));
    t.grid.GetTitleTip().Hide();
    // Shown again somewhere else: the area in which the mouse may move is that of the new cell.
    Hover(t, t.Centre(4, 2));
    ASSERT_TRUE(::IsWindowVisible(TitleTip(t)));
    CRect cell;
    t.grid.GetCellRect(4, 2, cell);
    CPoint inside(cell.left + 4, cell.bottom - 3);
    t.grid.ClientToScreen(&inside);
    ::ScreenToClient(TitleTip(t), &inside);
    ::SendMessageW(TitleTip(t), WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_TRUE(::IsWindowVisible(TitleTip(t)));
    CPoint outside(cell.left + 4, cell.bottom + 25);
    t.grid.ClientToScreen(&outside);
    ::ScreenToClient(TitleTip(t), &outside);
    ::SendMessageW(TitleTip(t), WM_MOUSEMOVE, 0, MAKELPARAM(outside.x, outside.y));
    EXPECT_FALSE(::IsWindowVisible(TitleTip(t)));
    PumpMessages();
}
