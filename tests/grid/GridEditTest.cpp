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
