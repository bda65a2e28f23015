// Auto-sizing by a table of character widths that skips the cells too short to be the widest:
// over thousands of texts (ASCII, Latin-1, Latin Extended, and characters beyond the table) the
// width comes out as GDI's own measure of the text plus the margins, and a column takes exactly
// the widest of its texts however the narrow and wide ones are ordered.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "grid/CellExtentMeasurer.h"

namespace {

// A small fixed-seed generator: the same texts on every run.
struct Lcg
{
    unsigned state;
    unsigned Below(unsigned n)
    {
        state = state * 1103515245u + 12345u;
        return ((state >> 8) & 0xFFFFFF) % n;
    }
};

// A text of 1 to 24 characters from the printable ASCII, Latin-1 and Latin Extended ranges; one
// in eight also holds a character beyond them (Greek, Cyrillic, the euro sign, a CJK ideograph).
std::wstring RandomText(Lcg& random)
{
    static const wchar_t BEYOND[] = {0x3B1, 0x416, 0x20AC, 0x4E2D, 0x2014};
    std::wstring text;
    const unsigned length = 1 + random.Below(24);
    for (unsigned i = 0; i < length; i++)
    {
        switch (random.Below(4))
        {
        case 0: case 1: text.push_back(static_cast<wchar_t>(0x21 + random.Below(0x5E))); break;
        case 2: text.push_back(static_cast<wchar_t>(0xA1 + random.Below(0x5F))); break;
        default: text.push_back(static_cast<wchar_t>(0x100 + random.Below(0x150))); break;
        }
    }
    if (random.Below(8) == 0)
        text[random.Below(length)] = BEYOND[random.Below(5)];
    return text;
}

// GDI's own measure of a text in the normal cells' font.
int SystemWidth(CGridCtrl& grid, const std::wstring& text)
{
    CGridDefaultCell* def = static_cast<CGridDefaultCell*>(grid.GetDefaultCell(FALSE, FALSE));
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, def->GetFontObject()->GetSafeHandle());
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
    return size.cx;
}

// A normal cell adds a 3-pixel margin on either side and one pixel to its text's width.
const int CELL_EXTRA = 2 * 3 + 1;

} // namespace

TEST(GridAutoSizeBound, TableWidthsAgreeWithTheSystemsMeasureOverThousandsOfTexts)
{
    const int rows = 3000;
    CGridCtrl grid(rows + 1, 2, 1, 1);
    ASSERT_EQ(3u, grid.GetDefaultCell(FALSE, FALSE)->GetMargin()) << "the margin these figures are for";
    Lcg random = {1234};
    std::vector<std::wstring> texts;
    for (int row = 1; row <= rows; row++)
    {
        texts.push_back(RandomText(random));
        grid.SetItemText(row, 1, texts.back().c_str());
    }
    HDC screen = ::GetDC(nullptr);
    HDC hdc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, hdc);
    CDC dc;
    dc.Attach(hdc);
    int beyondTable = 0;
    {
        CellExtentMeasurer measurer(&dc);
        for (int row = 1; row <= rows; row++)
        {
            const std::wstring& text = texts[static_cast<size_t>(row - 1)];
            beyondTable += std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x250; });
            EXPECT_EQ(SystemWidth(grid, text) + CELL_EXTRA, measurer.CellExtent(grid.GetCell(row, 1)).cx)
                << "row " << row;
        }
    }
    dc.Detach();
    ::DeleteDC(hdc);
    EXPECT_GT(beyondTable, 100) << "texts beyond the table were among the measured";
}

TEST(GridAutoSizeBound, AColumnTakesItsWidestTextWhereverItLies)
{
    const int rows = 400, cols = 8;
    TestGrid t(rows + 1, cols, 1, 0, true);
    // The widest character from the space to the end of Latin Extended-B, by GDI's measure.
    wchar_t widestCharacter = L' ';
    for (wchar_t c = 0x20; c < 0x250; c++)
        if (SystemWidth(t.grid, std::wstring(1, c)) > SystemWidth(t.grid, std::wstring(1, widestCharacter)))
            widestCharacter = c;
    Lcg random = {99};
    std::vector<int> widest(cols, 0);
    for (int col = 0; col < cols; col++)
    {
        t.grid.SetItemText(0, col, L"h");
        for (int row = 1; row <= rows; row++)
        {
            std::wstring text = RandomText(random);
            // Column 1: long texts of narrow letters after a short wide one, which a bound by
            // length alone cannot rule out. Column 2: the widest text comes last. Column 3: the
            // widest has a character beyond the table. Column 4: many equal texts, one longer.
            if (col == 1)
                text = row == 1 ? L"WWW" : std::wstring(3 + row % 20, L'i');
            else if (col == 2)
                text = row == rows ? std::wstring(30, L'M') : std::wstring(1 + row % 10, L'.');
            else if (col == 3)
                text = row == 200 ? L"ab\x4E2D\x4E2D\x4E2D\x4E2D" L"cd" : L"abcd";
            else if (col == 4)
                text = row == 321 ? L"same same!" : L"same same";
            // Columns 5 and 6: a text one character longer than the widest so far, of the same
            // wide letter, is wider and must be measured.
            else if (col == 5)
                text = row == 1 ? L"W" : (row == 300 ? L"WW" : L".");
            else if (col == 6)
                text = row == 1 ? L"WWWW" : (row == 377 ? L"WWWWW" : L"WW");
            // Column 7: the same with the widest character of all, three of them and then four.
            else if (col == 7)
                text = std::wstring(row == 250 ? 4 : (row == 1 ? 3 : 1), widestCharacter);
            t.grid.SetItemText(row, col, text.c_str());
            widest[static_cast<size_t>(col)] =
                std::max(widest[static_cast<size_t>(col)], SystemWidth(t.grid, text) + CELL_EXTRA);
        }
    }
    t.grid.AutoSizeColumns(GVS_DATA);
    for (int col = 0; col < cols; col++)
        EXPECT_EQ(widest[static_cast<size_t>(col)], t.grid.GetColumnWidth(col)) << "column " << col;

    // One column alone gives the same.
    t.grid.SetColumnWidth(2, 5);
    ASSERT_TRUE(t.grid.AutoSizeColumn(2, GVS_DATA));
    EXPECT_EQ(widest[2], t.grid.GetColumnWidth(2));
}
