// Painting many cells on one DC (OnDraw sets the common attributes once and each cell changes only
// what differs) gives the same pixels as drawing every cell on its own over a DC left in another
// state; and a cell's Draw puts back every DC attribute it changed.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "grid/GridCellBase.h"
#include "tests/support/Dib32.h"

namespace {

const COLORREF HOSTILE_TEXT = RGB(255, 0, 255);
const COLORREF HOSTILE_BK = RGB(0, 255, 0);
const COLORREF HOSTILE_BRUSH = RGB(9, 8, 7);

// A 32-bit DIB the size of the grid's client area on a memory DC.
class Canvas
{
public:
    explicit Canvas(CGridCtrl& grid) : dib(GridClient(grid).Width(), GridClient(grid).Height()), dc(dib.Dc()) {}

    bool Ready() const { return dib.Ready(); }
    std::vector<DWORD> Pixels() const
    {
        const DWORD* bits = dib.Bits();
        return std::vector<DWORD>(bits, bits + static_cast<size_t>(dib.Width()) * dib.Height());
    }
    int Count(COLORREF colour) const
    {
        const DWORD* bits = dib.Bits();
        DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        int count = 0;
        for (int i = 0; i < dib.Width() * dib.Height(); i++)
            count += (bits[i] & 0xFFFFFF) == wanted;
        return count;
    }

    Dib32 dib;
    HDC dc;
};

void PaintWhole(CGridCtrl& grid, HDC hdc)
{
    CDC dc;
    dc.Attach(hdc);
    grid.OnDraw(&dc);
    dc.Detach();
}

void MakeHostile(HDC hdc)
{
    ::SelectObject(hdc, ::GetStockObject(SYSTEM_FIXED_FONT));
    ::SetTextColor(hdc, HOSTILE_TEXT);
    ::SetBkColor(hdc, HOSTILE_BK);
    ::SetBkMode(hdc, OPAQUE);
    ::SetDCBrushColor(hdc, HOSTILE_BRUSH);
}

// A page of every kind of cell: fixed ones with the sort arrow and focus tracking, a selected block,
// the focused cell with its frame, own text and back colours, own fonts, word-wrapped lines,
// centred and right-aligned texts, texts cut with an ellipsis and empty cells.
void FillVariedPage(TestGrid& t)
{
    CGridCtrl& grid = t.grid;
    for (int row = 1; row < grid.GetRowCount(); row += 3)
        grid.SetRowHeight(row, 36);
    grid.SetSortColumn(2);
    grid.SetSelectedRange(2, 1, 3, 3);
    grid.SetFocusCell(3, 2);
    grid.SetItemText(3, 2, L"Focused");
    grid.SetItemBkColour(4, 1, RGB(0x20, 0x60, 0xA0));
    grid.SetItemFgColour(4, 1, RGB(0xFF, 0xFF, 0x00));
    grid.SetItemText(4, 1, L"Blue");
    grid.SetItemFgColour(4, 2, RGB(0xC0, 0x00, 0x00));
    grid.SetItemText(4, 2, L"Red text");
    grid.SetItemBkColour(5, 3, RGB(0xE0, 0xFF, 0xE0));

    LOGFONT bold = {};
    bold.lfHeight = -15;
    bold.lfWeight = FW_BOLD;
    wcscpy(bold.lfFaceName, L"Tahoma");
    grid.GetCell(5, 1)->SetFont(&bold);
    grid.SetItemText(5, 1, L"Bold");
    LOGFONT italic = bold;
    italic.lfWeight = FW_NORMAL;
    italic.lfItalic = TRUE;
    italic.lfHeight = -11;
    grid.GetCell(0, 3)->SetFont(&italic);
    grid.GetCell(6, 2)->SetFont(&italic);
    grid.SetItemText(6, 2, L"Italic");

    grid.SetItemFormat(7, 1, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    grid.SetItemText(7, 1, L"two\nlines");
    grid.SetItemFormat(7, 2, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    grid.SetItemText(7, 2, L"mid");
    grid.SetItemFormat(7, 3, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    grid.SetItemText(7, 3, L"right");
    grid.SetItemText(8, 1, L"A text far too long for its column");
    grid.SetItemText(8, 2, L"");
    grid.SetItemText(9, 3, L"&Amp");
}

// The grid painted whole on one canvas and, on another, painted whole and then every visible cell
// drawn again on its own, erasing, over a DC left with another font, colours, background mode and
// brush colour (with its grid lines, as for one cell); checks that each cell put the DC back and
// answers how many pixels of the two differ (where, in the message).
int DifferenceFromCellsDrawnOnTheirOwn(CGridCtrl& grid, Canvas& fast, Canvas& reference, std::string& where)
{
    PaintWhole(grid, fast.dc);
    PaintWhole(grid, reference.dc);
    CDC dc;
    dc.Attach(reference.dc);
    int redrawn = 0;
    for (int row = 0; row < grid.GetRowCount(); row++)
    {
        for (int col = 0; col < grid.GetColumnCount(); col++)
        {
            if (!grid.IsCellVisible(row, col))
                continue;
            MakeHostile(reference.dc);
            EXPECT_TRUE(grid.RedrawCell(row, col, &dc)) << row << "," << col;
            redrawn++;
            EXPECT_EQ(HOSTILE_TEXT, ::GetTextColor(reference.dc)) << row << "," << col;
            EXPECT_EQ(OPAQUE, ::GetBkMode(reference.dc)) << row << "," << col;
            EXPECT_EQ(HOSTILE_BRUSH, ::GetDCBrushColor(reference.dc)) << row << "," << col;
            EXPECT_EQ(::GetStockObject(SYSTEM_FIXED_FONT), ::GetCurrentObject(reference.dc, OBJ_FONT))
                << row << "," << col;
        }
    }
    dc.Detach();
    EXPECT_GE(redrawn, 20);

    std::vector<DWORD> a = fast.Pixels(), b = reference.Pixels();
    EXPECT_EQ(a.size(), b.size());
    int differing = 0;
    CRect box(fast.dib.Width(), fast.dib.Height(), -1, -1);
    for (size_t i = 0; i < a.size() && i < b.size(); i++)
    {
        if ((a[i] & 0xFFFFFF) == (b[i] & 0xFFFFFF))
            continue;
        differing++;
        int x = static_cast<int>(i % fast.dib.Width()), y = static_cast<int>(i / fast.dib.Width());
        box.SetRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x),
                    std::max<int>(box.bottom, y));
    }
    where = "between " + std::to_string(box.left) + "," + std::to_string(box.top) + " and "
            + std::to_string(box.right) + "," + std::to_string(box.bottom);
    return differing;
}

} // namespace

TEST(GridCellRunPaint, WholePaintMatchesEveryCellDrawnOnItsOwn)
{
    TestGrid t(14, 5);
    FillVariedPage(t);
    Canvas fast(t.grid), reference(t.grid);
    ASSERT_TRUE(fast.Ready() && reference.Ready());
    std::string where;
    EXPECT_EQ(0, DifferenceFromCellsDrawnOnTheirOwn(t.grid, fast, reference, where)) << where;

    // The page shows what it was filled with, so the comparison is of real drawing.
    EXPECT_GT(fast.Count(RGB(0xCC, 0xCC, 0xCC)), 500) << "selected block";
    EXPECT_GT(fast.Count(RGB(0x20, 0x60, 0xA0)), 500) << "own back colour";
    EXPECT_GT(fast.Count(RGB(0xFF, 0xFF, 0x00)), 5) << "own text colour on it";
    EXPECT_GT(fast.Count(RGB(0xC0, 0x00, 0x00)), 5) << "own text colour";
    EXPECT_EQ(0, fast.Count(HOSTILE_TEXT));
}

// Every character up to 255, in texts that just fit their cell and in the same texts one pixel too
// wide for it (cut with an ellipsis), left-aligned, centred and right-aligned: the measuring that
// decides between the two and places the text must agree with the system's.
namespace {

void CheckTextsThatJustFitOrJustDoNot(HFONT font)
{
    std::vector<std::wstring> texts;
    for (wchar_t first = 0x21; first < 0x100; first += 12)
    {
        if (first >= 0x7F && first < 0xA1)
            continue;
        std::wstring text;
        for (wchar_t c = first; c < first + 12 && c < 0x100; c++)
        {
            if (c != 0x7F && (c < 0x80 || c >= 0xA0))
                text += c;
        }
        texts.push_back(text);
    }
    const int rows = static_cast<int>(texts.size());
    TestGrid t(rows + 1, 7, 1, 1, false, 1000, 20 * (rows + 2));
    if (font)
    {
        // The grid painted once in its own font first, so that the other one comes after it.
        Canvas before(t.grid);
        ASSERT_TRUE(before.Ready());
        PaintWhole(t.grid, before.dc);
        t.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    CGridCellBase* def = t.grid.GetDefaultCell(FALSE, FALSE);
    ASSERT_NE(nullptr, def);
    const int margin = static_cast<int>(def->GetMargin());
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    HGDIOBJ old = ::SelectObject(screen, def->GetFontObject()->GetSafeHandle());
    int widest = 0;
    std::vector<int> extents;
    for (const std::wstring& text : texts)
    {
        SIZE size = {0, 0};
        EXPECT_TRUE(::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size));
        extents.push_back(size.cx);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);

    // Columns 1-3: a text area of exactly the widest text (left, centre, right); 4-6 one pixel less.
    const UINT aligns[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (int col = 1; col <= 6; col++)
        t.grid.SetColumnWidth(col, widest + 2 * margin - 1 - (col > 3 ? 1 : 0));
    int cut = 0;
    for (int row = 1; row <= rows; row++)
    {
        for (int col = 1; col <= 6; col++)
        {
            t.grid.SetItemFormat(row, col, aligns[(col - 1) % 3] | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
            t.grid.SetItemText(row, col, texts[static_cast<size_t>(row - 1)].c_str());
        }
        cut += extents[static_cast<size_t>(row - 1)] == widest;
    }
    ASSERT_GE(cut, 1) << "one text at least is cut in the narrower columns";
    Canvas fast(t.grid), reference(t.grid);
    ASSERT_TRUE(fast.Ready() && reference.Ready());
    std::string where;
    EXPECT_EQ(0, DifferenceFromCellsDrawnOnTheirOwn(t.grid, fast, reference, where)) << where;
}

} // namespace

TEST(GridCellRunPaint, TextsThatJustFitOrJustDoNotMatch)
{
    CheckTextsThatJustFitOrJustDoNot(nullptr);
}

// The widths of a font are kept from one paint to the next: a grid that paints in one font and then
// in another measures the other's texts with the other's widths.
TEST(GridCellRunPaint, TextsInAFontSetAfterAPaintMatch)
{
    HFONT wider = ::CreateFontW(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
    ASSERT_NE(nullptr, wider);
    CheckTextsThatJustFitOrJustDoNot(wider);
    ::DeleteObject(wider);
}

TEST(GridCellRunPaint, WholePaintLeavesTheDCAsItWas)
{
    TestGrid t(14, 5);
    FillVariedPage(t);
    Canvas canvas(t.grid);
    ASSERT_TRUE(canvas.Ready());
    MakeHostile(canvas.dc);
    PaintWhole(t.grid, canvas.dc);
    EXPECT_EQ(HOSTILE_TEXT, ::GetTextColor(canvas.dc));
    EXPECT_EQ(OPAQUE, ::GetBkMode(canvas.dc));
    EXPECT_EQ(HOSTILE_BRUSH, ::GetDCBrushColor(canvas.dc));
    EXPECT_EQ(::GetStockObject(SYSTEM_FIXED_FONT), ::GetCurrentObject(canvas.dc, OBJ_FONT));
}

// Texts whose ink reaches past their cell: rows lower than the font (accents and descenders cut at
// the top and bottom) and, in rows of the usual height, no margin (a leading 'j' reaches left of
// its place; with no margin in a low row a text's rectangle takes in its neighbour's first pixel,
// which a cell drawn on its own then erases, so the two are not combined); and characters the
// font has no glyph for. Those drawn together with others must match the cell-by-cell drawing
// just as those drawn alone with clipping do; and the plain font is one whose texts are drawn
// together, so the comparison covers that drawing.
TEST(GridCellRunPaint, TextsAtTheirCellsEdgesMatch)
{
    const wchar_t* texts[] = {L"\u00c5gjy", L"jab", L"Wq\u00c9", L"|_|", L"fj;", L"\u00ff\u00e7", L"1\u0085/\u009f1", L"M00042"};
    TestGrid t(20, 8, 1, 1, false, 600, 400);
    for (int row = 1; row < 20; row++)
    {
        t.grid.SetRowHeight(row, row % 2 ? 20 : 6 + row % 12);
        for (int col = 1; col < 8; col++)
        {
            t.grid.SetItemText(row, col, texts[(row + col) % 8]);
            t.grid.SetColumnWidth(col, 28 + col % 3);
            if (row % 2)
                t.grid.GetCell(row, col)->SetMargin(0);
        }
    }
    Canvas fast(t.grid), reference(t.grid);
    ASSERT_TRUE(fast.Ready() && reference.Ready());

    HGDIOBJ old = ::SelectObject(fast.dc, t.grid.GetDefaultCell(FALSE, FALSE)->GetFontObject()->GetSafeHandle());
    EXPECT_NE(nullptr, GlyphTable::For(fast.dc)) << "texts in the plain font are drawn together";
    ::SelectObject(fast.dc, old);

    std::string where;
    EXPECT_EQ(0, DifferenceFromCellsDrawnOnTheirOwn(t.grid, fast, reference, where)) << where;
}
