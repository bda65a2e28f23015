// The window core and the collections beneath it: fonts set on the window reach the default cells,
// cells leave a DC as they found it, scrolling a cell wider than the window into view ends, and the
// selection map stays sound while entries are removed during a walk.
#include <gtest/gtest.h>
#include "GridTestSupport.h"
#include "framework/Collections.h"

TEST(GridCore, WindowFontReachesTheDefaultCells)
{
    TestGrid t(3, 3);
    LOGFONTW lf = {};
    lf.lfHeight = -40;
    wcscpy(lf.lfFaceName, L"Liberation Sans");
    HFONT font = ::CreateFontIndirectW(&lf);
    auto* normal = static_cast<CGridDefaultCell*>(t.grid.GetDefaultCell(FALSE, FALSE));
    int oldHeight = normal->GetHeight();
    t.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(-40, normal->GetFont()->lfHeight);
    EXPECT_EQ(-40, static_cast<CGridDefaultCell*>(t.grid.GetDefaultCell(TRUE, TRUE))->GetFont()->lfHeight);
    EXPECT_GT(normal->GetHeight(), oldHeight) << "the default size is measured anew";
    EXPECT_EQ(20, t.grid.GetRowHeight(1)) << "sizes already set stay";

    HFONT answered = reinterpret_cast<HFONT>(t.Send(WM_GETFONT, 0, 0));
    LOGFONTW back = {};
    ASSERT_EQ(static_cast<int>(sizeof(back)), ::GetObjectW(answered, sizeof(back), &back));
    EXPECT_EQ(-40, back.lfHeight);
    ::DeleteObject(font);
}

TEST(GridCore, DefaultCellMeasuresItsFont)
{
    CGridDefaultCell cell;
    LOGFONTW lf = *cell.GetFont();
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, cell.GetFontObject()->GetSafeHandle());
    SIZE space = {}, sample = {};
    ::GetTextExtentPoint32W(screen, L" ", 1, &space);
    ::GetTextExtentPoint32W(screen, L" XXXXXXXXXXXX ", 14, &sample);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(static_cast<UINT>(space.cx), cell.GetMargin());
    EXPECT_EQ(sample.cx, cell.GetWidth());
    // One and a half text heights at least; more where the font's margins need it (the records
    // tests check by pixels that headings are drawn whole).
    EXPECT_GE(cell.GetHeight(), sample.cy * 3 / 2);
    EXPECT_LE(cell.GetHeight(), sample.cy * 2 + 2 * space.cx);
    EXPECT_EQ(0x8824u, cell.GetFormat());
    EXPECT_TRUE(cell.GetState() & GVIS_READONLY);
    cell.SetFont(nullptr);
    EXPECT_EQ(lf.lfHeight, cell.GetFont()->lfHeight) << "a null font changes nothing";
}

TEST(GridCore, CellsLeaveTheDCAsTheyFoundIt)
{
    TestGrid t(4, 4);
    t.grid.SetFocusCell(2, 2);
    t.grid.SetSelectedRange(2, 2, 2, 2);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 100, 40);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    ::SetTextColor(dc, RGB(10, 20, 30));
    ::SetBkMode(dc, OPAQUE);
    HGDIOBJ font = ::GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN);
    CDC wrapper;
    wrapper.Attach(dc);
    for (CCellID id : {CCellID(2, 2), CCellID(0, 2), CCellID(2, 0)})
    {
        ASSERT_TRUE(t.grid.GetCell(id.row, id.col)->Draw(&wrapper, id.row, id.col, CRect(0, 0, 59, 19), TRUE));
        EXPECT_EQ(RGB(10, 20, 30), ::GetTextColor(dc));
        EXPECT_EQ(OPAQUE, ::GetBkMode(dc));
        EXPECT_EQ(font, ::GetCurrentObject(dc, OBJ_FONT));
        EXPECT_EQ(pen, ::GetCurrentObject(dc, OBJ_PEN));
    }
    EXPECT_FALSE(t.grid.GetCell(2, 2)->Draw(&wrapper, 2, 2, CRect(5, 5, 5, 30), TRUE)) << "an empty rectangle";
    wrapper.Detach();
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

namespace {

// A cell whose grid offers it no defaults, so its painting gives up half-way.
class CellWithoutDefaults : public CGridCell
{
public:
    CGridCellBase* GetDefaultCell() const override { return nullptr; }
};

} // namespace

TEST(GridCore, ACellThatGivesUpPaintingStillRestoresTheDC)
{
    TestGrid t(2, 2);
    CellWithoutDefaults cell;
    cell.SetGrid(&t.grid);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    ::SetBkMode(dc, OPAQUE);
    CDC wrapper;
    wrapper.Attach(dc);
    EXPECT_FALSE(cell.Draw(&wrapper, 1, 1, CRect(0, 0, 59, 19), TRUE));
    EXPECT_EQ(OPAQUE, ::GetBkMode(dc));
    wrapper.Detach();
    ::DeleteDC(dc);
}

TEST(GridCore, ScrollingACellWiderThanTheWindowIntoViewEnds)
{
    TestGrid t(40, 5);
    t.grid.SetColumnWidth(4, 3000);
    t.grid.SetRowHeight(30, 2000);
    t.grid.EnsureVisible(30, 4);
    EXPECT_TRUE(t.grid.IsCellVisible(30, 4));
    EXPECT_EQ(CCellID(30, 4), t.grid.GetTopleftNonFixedCell());
}

TEST(GridCore, NotificationsNeedAWindowAndAnOwner)
{
    CGridCtrl loose(2, 2);
    EXPECT_EQ(0, loose.SendMessageToParent(1, 1, NM_CLICK));
    TestGrid t(2, 2);
    t.owner.beginEditAnswer = 5;
    EXPECT_EQ(5, t.grid.SendMessageToParent(1, 1, GVN_BEGINLABELEDIT));
    ASSERT_EQ(1u, t.owner.notes.size());
    EXPECT_EQ(1, t.owner.notes[0].row);
}

TEST(GridCore, DropTargetIsRegisteredWithTheWindowAndGoesBeforeIt)
{
    TestGrid t(2, 2);
    EXPECT_TRUE(t.grid.GetDropTarget().IsRegistered());
    // A second registration of the same window is refused.
    EXPECT_FALSE(t.grid.GetDropTarget().Register(&t.grid));
    HWND window = t.grid.GetSafeHwnd();
    ::DestroyWindow(window);
    EXPECT_FALSE(t.grid.GetDropTarget().IsRegistered()) << "revoked when the window went";
}

TEST(Collections, MapEntriesMayBeRemovedWhileWalking)
{
    CMap<DWORD, DWORD, CCellID, CCellID&> map;
    map.InitHashTable(10);
    for (int i = 0; i < 1000; i++)
    {
        CCellID cell(i, i % 7);
        map.SetAt(static_cast<DWORD>(i), cell);
    }
    EXPECT_EQ(1000, map.GetCount());
    int walked = 0;
    POSITION pos = map.GetStartPosition();
    while (pos)
    {
        DWORD key;
        CCellID cell;
        map.GetNextAssoc(pos, key, cell);
        EXPECT_EQ(static_cast<int>(key), cell.row);
        if (key % 2)
        {
            EXPECT_TRUE(map.RemoveKey(key));
        }
        walked++;
    }
    EXPECT_EQ(1000, walked);
    EXPECT_EQ(500, map.GetCount());
    CCellID found;
    EXPECT_TRUE(map.Lookup(998, found));
    EXPECT_EQ(998 % 7, found.col);
    EXPECT_FALSE(map.Lookup(999, found));
    EXPECT_FALSE(map.RemoveKey(999));
    map.RemoveAll();
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(Collections, ArraysInsertAndRemoveInPlace)
{
    CArray<int, int> numbers;
    numbers.Add(1);
    numbers.Add(4);
    numbers.InsertAt(1, 2);
    numbers.InsertAt(2, 3);
    numbers.InsertAt(6, 9);   // beyond the end: the gap is filled with zeros
    ASSERT_EQ(7, numbers.GetSize());
    EXPECT_EQ(3, numbers[2]);
    EXPECT_EQ(0, numbers[4]);
    EXPECT_EQ(9, numbers[6]);
    numbers.RemoveAt(0, 2);
    EXPECT_EQ(3, numbers[0]);
    EXPECT_EQ(5, numbers.GetSize());
    CStringArray texts;
    texts.SetAtGrow(2, L"c");
    EXPECT_EQ(3, texts.GetSize());
    EXPECT_TRUE(texts[0].IsEmpty());
}
