// How a cell keeps its values: the text, the block of rarely set attributes (made on first use,
// copied, reset and released), formats in and beyond the shared table, and auto-sizing measured on
// one DC agreeing with each cell's own measure.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "grid/CellExtentMeasurer.h"

namespace {

LOGFONT TestFont(LONG height, LONG escapement = 0)
{
    LOGFONT font = {};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    font.lfEscapement = escapement;
    wcscpy(font.lfFaceName, L"Liberation Sans");
    return font;
}

// Every value a cell reports, for comparing two cells.
struct CellValues
{
    std::wstring text;
    LPARAM data;
    int image;
    DWORD format, state;
    COLORREF textClr, backClr;
    UINT margin;
    BOOL defaultFont, editing;
    CWnd* editWnd;
    LONG fontHeight;

    explicit CellValues(const CGridCellBase& cell)
        : text(cell.GetText()), data(cell.GetData()), image(cell.GetImage()), format(cell.GetFormat()),
          state(cell.GetState()), textClr(cell.GetTextClr()), backClr(cell.GetBackClr()),
          margin(cell.GetMargin()), defaultFont(cell.IsDefaultFont()), editing(cell.IsEditing()),
          editWnd(cell.GetEditWnd()), fontHeight(cell.GetFont() ? cell.GetFont()->lfHeight : 0)
    {
    }
    bool operator==(const CellValues& o) const
    {
        return text == o.text && data == o.data && image == o.image && format == o.format && state == o.state
               && textClr == o.textClr && backClr == o.backClr && margin == o.margin
               && defaultFont == o.defaultFont && editing == o.editing && editWnd == o.editWnd
               && fontHeight == o.fontHeight;
    }
};

} // namespace

TEST(GridCellStorage, AFreshCellHoldsNoBlockAndReadsTheDefaults)
{
    CGridCell cell;
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_STREQ(L"", cell.GetText());
    EXPECT_EQ(-1, cell.GetImage());
    EXPECT_EQ(CLR_DEFAULT, cell.GetTextClr());
    EXPECT_EQ(CLR_DEFAULT, cell.GetBackClr());
    EXPECT_EQ(0u, cell.GetFormat()) << "no own format and no default cell";
    EXPECT_EQ(0u, cell.GetMargin());
    EXPECT_TRUE(cell.IsDefaultFont());
    EXPECT_EQ(nullptr, cell.GetFont());
    EXPECT_FALSE(cell.IsEditing());
    EXPECT_EQ(nullptr, cell.GetEditWnd());
}

TEST(GridCellStorage, EachRareAttributeMakesTheBlockAndItsDefaultReleasesIt)
{
    CGridCell cell;
    // Setting a default value makes no block.
    cell.SetBackClr(CLR_DEFAULT);
    cell.SetTextClr(CLR_DEFAULT);
    cell.SetImage(-1);
    cell.SetMargin(static_cast<UINT>(-1));
    cell.SetFont(nullptr);
    cell.SetFormat(static_cast<DWORD>(-1));
    EXPECT_FALSE(cell.HasAttributeBlock());

    // A plain background is kept in the cell itself; a palette colour needs the block.
    cell.SetBackClr(RGB(255, 255, 0));
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_EQ(RGB(255, 255, 0), cell.GetBackClr());
    cell.SetBackClr(PALETTEINDEX(3));
    EXPECT_TRUE(cell.HasAttributeBlock());
    EXPECT_EQ(PALETTEINDEX(3), cell.GetBackClr());
    cell.SetBackClr(CLR_DEFAULT);
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_EQ(CLR_DEFAULT, cell.GetBackClr());

    cell.SetTextClr(RGB(1, 2, 3));
    cell.SetImage(4);
    cell.SetMargin(7);
    LOGFONT font = TestFont(-20);
    cell.SetFont(&font);
    ASSERT_TRUE(cell.HasAttributeBlock());
    EXPECT_EQ(RGB(1, 2, 3), cell.GetTextClr());
    EXPECT_EQ(4, cell.GetImage());
    EXPECT_EQ(7u, cell.GetMargin());
    ASSERT_NE(nullptr, cell.GetFont());
    EXPECT_EQ(-20, cell.GetFont()->lfHeight);
    EXPECT_NE(&font, cell.GetFont()) << "the font is a copy";
    EXPECT_FALSE(cell.IsDefaultFont());

    // The block stays while any value in it differs from its default.
    cell.SetTextClr(CLR_DEFAULT);
    cell.SetImage(-1);
    cell.SetFont(nullptr);
    EXPECT_TRUE(cell.HasAttributeBlock());
    EXPECT_EQ(7u, cell.GetMargin());
    EXPECT_TRUE(cell.IsDefaultFont());
    cell.SetMargin(static_cast<UINT>(-1));
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_EQ(0u, cell.GetMargin());
}

TEST(GridCellStorage, ResetReleasesTheBlockAndTheText)
{
    CGridCtrl grid(2, 2);
    CGridCell cell;
    cell.SetGrid(&grid);
    cell.SetText(L"Jane Q. Public");
    cell.SetData(42);
    cell.SetState(GVIS_SELECTED | GVIS_MODIFIED);
    cell.SetFormat(0x12345);
    cell.SetBackClr(RGB(9, 9, 9));
    LOGFONT font = TestFont(-13);
    cell.SetFont(&font);
    ASSERT_TRUE(cell.HasAttributeBlock());

    cell.Reset();
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_STREQ(L"", cell.GetText());
    EXPECT_EQ(0, cell.GetData());
    EXPECT_EQ(0u, cell.GetState());
    EXPECT_EQ(nullptr, cell.GetGrid());
    EXPECT_EQ(0u, cell.GetFormat());
    EXPECT_EQ(CLR_DEFAULT, cell.GetBackClr());
    EXPECT_TRUE(cell.IsDefaultFont());
}

TEST(GridCellStorage, CopyingCarriesTheAttributesAndDropsTheTargetsOwn)
{
    CGridCtrl grid(2, 2);
    CGridCell source;
    source.SetGrid(&grid);
    source.SetText(L"1200.50");
    source.SetData(7);
    source.SetImage(2);
    source.SetFormat(DT_RIGHT | DT_SINGLELINE);
    source.SetBackClr(RGB(255, 255, 0));
    LOGFONT font = TestFont(-15);
    source.SetFont(&font);

    CGridCell target;
    target = source;
    EXPECT_TRUE(CellValues(source) == CellValues(target));
    EXPECT_NE(source.GetFont(), target.GetFont()) << "each cell owns its font copy";
    EXPECT_NE(source.GetText(), target.GetText()) << "each cell owns its text";

    // A plain source takes the target's own image, colour and font away (its margin and format are
    // copied as the values the source reads, so they become the target's own).
    CGridCell plain;
    plain.SetGrid(&grid);
    plain.SetText(L"x");
    target = plain;
    EXPECT_TRUE(CellValues(plain) == CellValues(target));
    EXPECT_EQ(-1, target.GetImage());
    EXPECT_EQ(CLR_DEFAULT, target.GetBackClr());
    EXPECT_TRUE(target.IsDefaultFont());
    target.SetMargin(static_cast<UINT>(-1));
    EXPECT_FALSE(target.HasAttributeBlock()) << "nothing else was left in the block";

    // Assigning a cell to itself changes nothing.
    CGridCellBase& same = source;
    source = same;
    EXPECT_STREQ(L"1200.50", source.GetText());
    EXPECT_EQ(-15, source.GetFont()->lfHeight);
}

TEST(GridCellStorage, TextsOfEveryLengthAndFromTheCellItself)
{
    CGridCell cell;
    cell.SetText(L"12/31/2025");
    EXPECT_STREQ(L"12/31/2025", cell.GetText());
    cell.SetText(L"01/02/2026");   // same length, written in place
    EXPECT_STREQ(L"01/02/2026", cell.GetText());
    cell.SetText(cell.GetText());  // the cell's own text
    EXPECT_STREQ(L"01/02/2026", cell.GetText());
    cell.SetText(L"A much longer street address, Suite 400");
    EXPECT_STREQ(L"A much longer street address, Suite 400", cell.GetText());
    cell.SetText(L"Z");
    EXPECT_STREQ(L"Z", cell.GetText());
    cell.SetText(L"");
    ASSERT_NE(nullptr, cell.GetText());
    EXPECT_STREQ(L"", cell.GetText());
    cell.SetText(nullptr);
    EXPECT_STREQ(L"", cell.GetText());
    std::wstring longText(5000, L'q');
    cell.SetText(longText.c_str());
    EXPECT_EQ(longText, cell.GetText());
}

TEST(GridCellStorage, FormatsBeyondTheSharedTableAreKeptPerCell)
{
    CGridCtrl grid(2, 2);
    // More distinct formats than any small shared table holds: each cell keeps its own.
    std::vector<CGridCell> cells(24);
    for (size_t i = 0; i < cells.size(); i++)
    {
        cells[i].SetGrid(&grid);
        cells[i].SetFormat(0x100000u + static_cast<DWORD>(i));
    }
    for (size_t i = 0; i < cells.size(); i++)
        EXPECT_EQ(0x100000u + i, cells[i].GetFormat()) << i;

    // Back to no own format: the default cell's format shows and no block is left.
    DWORD defaultFormat = grid.GetDefaultCell(FALSE, FALSE)->GetFormat();
    for (CGridCell& cell : cells)
    {
        cell.SetFormat(static_cast<DWORD>(-1));
        EXPECT_EQ(defaultFormat, cell.GetFormat());
        EXPECT_FALSE(cell.HasAttributeBlock());
    }

    // A format kept in a block stays beside the other attributes and goes with them.
    CGridCell& cell = cells[23];
    cell.SetFormat(0x1FFFFF);
    cell.SetBackClr(RGB(1, 1, 1));
    cell.SetFormat(DT_LEFT);
    EXPECT_EQ(static_cast<DWORD>(DT_LEFT), cell.GetFormat());
    EXPECT_EQ(RGB(1, 1, 1), cell.GetBackClr());
    cell.SetBackClr(CLR_DEFAULT);
    EXPECT_EQ(static_cast<DWORD>(DT_LEFT), cell.GetFormat());
}

TEST(GridCellStorage, OwnFormatOutlivesAChangeOfTheDefaultCells)
{
    CGridCtrl grid(3, 3, 1, 1);
    CGridCellBase* def = grid.GetDefaultCell(FALSE, FALSE);
    DWORD created = def->GetFormat();
    ASSERT_EQ(created, grid.GetItemFormat(2, 2));
    def->SetFormat(DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(created, grid.GetItemFormat(2, 2)) << "a created cell holds the format it was given";
    grid.GetCell(2, 2)->SetFormat(static_cast<DWORD>(-1));
    EXPECT_EQ(static_cast<UINT>(DT_RIGHT | DT_SINGLELINE), grid.GetItemFormat(2, 2));
}

TEST(GridCellStorage, SearchMarksComeAndGoWithoutLeavingBlocks)
{
    CGridCtrl grid(30, 12, 1, 1);
    for (int row = 1; row < 30; row++)
        for (int col = 0; col < 12; col++)
            grid.SetItemText(row, col, (row % 3 == 0) ? L"Smith" : L"Jones");
    std::vector<CellValues> before;
    for (int row = 0; row < 30; row++)
        for (int col = 0; col < 12; col++)
            before.emplace_back(*grid.GetCell(row, col));

    for (int row = 3; row < 30; row += 3)
        for (int col = 0; col < 12; col++)
            grid.SetItemBkColour(row, col, RGB(255, 255, 0));
    EXPECT_FALSE(static_cast<CGridCell*>(grid.GetCell(3, 5))->HasAttributeBlock()) << "a mark needs no block";
    EXPECT_EQ(RGB(255, 255, 0), grid.GetCell(6, 11)->GetBackClr());
    EXPECT_EQ(CLR_DEFAULT, grid.GetCell(4, 11)->GetBackClr());

    for (int row = 0; row < 30; row++)
        for (int col = 0; col < 12; col++)
            grid.SetItemBkColour(row, col, CLR_DEFAULT);
    size_t i = 0;
    for (int row = 0; row < 30; row++)
    {
        for (int col = 0; col < 12; col++, i++)
        {
            CGridCell* cell = static_cast<CGridCell*>(grid.GetCell(row, col));
            EXPECT_FALSE(cell->HasAttributeBlock()) << row << "," << col;
            EXPECT_TRUE(before[i] == CellValues(*cell)) << row << "," << col;
        }
    }
}

TEST(GridCellStorage, APlainBackgroundMovesBetweenTheCellAndItsBlockWithNothingLost)
{
    CGridCtrl grid(2, 2);
    CGridCell cell;
    cell.SetGrid(&grid);
    cell.SetFormat(DT_RIGHT | DT_SINGLELINE); // a format of the shared table
    const size_t blocks = CGridCell::LiveAttributeBlocks();
    cell.SetBackClr(RGB(12, 34, 56));
    EXPECT_EQ(blocks, CGridCell::LiveAttributeBlocks());

    // Another rare attribute makes the block, which takes the background along.
    cell.SetTextClr(RGB(1, 2, 3));
    ASSERT_TRUE(cell.HasAttributeBlock());
    EXPECT_EQ(blocks + 1, CGridCell::LiveAttributeBlocks());
    EXPECT_EQ(RGB(12, 34, 56), cell.GetBackClr());
    EXPECT_EQ(RGB(1, 2, 3), cell.GetTextClr());
    EXPECT_EQ(static_cast<DWORD>(DT_RIGHT | DT_SINGLELINE), cell.GetFormat());

    // Once the background is all the block holds, the cell keeps it again and the block goes.
    cell.SetTextClr(CLR_DEFAULT);
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_EQ(blocks, CGridCell::LiveAttributeBlocks());
    EXPECT_EQ(RGB(12, 34, 56), cell.GetBackClr());
    EXPECT_EQ(static_cast<DWORD>(DT_RIGHT | DT_SINGLELINE), cell.GetFormat());

    // A font of its own goes into a block with the background, and out again.
    LOGFONT font = TestFont(-17);
    cell.SetFont(&font);
    ASSERT_TRUE(cell.HasAttributeBlock());
    EXPECT_EQ(-17, cell.GetFont()->lfHeight);
    EXPECT_EQ(RGB(12, 34, 56), cell.GetBackClr());
    cell.SetFormat(DT_LEFT);
    cell.SetFont(nullptr);
    EXPECT_FALSE(cell.HasAttributeBlock());
    EXPECT_EQ(static_cast<DWORD>(DT_LEFT), cell.GetFormat());
    EXPECT_EQ(RGB(12, 34, 56), cell.GetBackClr());

    // White and black are colours like any other, distinct from no colour.
    cell.SetBackClr(RGB(255, 255, 255));
    EXPECT_EQ(RGB(255, 255, 255), cell.GetBackClr());
    cell.SetBackClr(RGB(0, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), cell.GetBackClr());
    EXPECT_EQ(static_cast<DWORD>(DT_LEFT), cell.GetFormat());
    cell.Reset();
    EXPECT_EQ(CLR_DEFAULT, cell.GetBackClr());
    EXPECT_EQ(blocks, CGridCell::LiveAttributeBlocks());
}

TEST(GridCellStorage, CellsWithAndWithoutBlocksPaintAlike)
{
    TestGrid plain(5, 4);
    TestGrid marked(5, 4);
    // One grid's cells carry blocks whose values equal the defaults they stand for.
    for (int row = 0; row < 5; row++)
    {
        for (int col = 0; col < 4; col++)
        {
            CGridCellBase* cell = marked.grid.GetCell(row, col);
            cell->SetMargin(cell->GetMargin());
            cell->SetBackClr(RGB(200, 0, 0));
            cell->SetBackClr(CLR_DEFAULT);
            EXPECT_TRUE(static_cast<CGridCell*>(cell)->HasAttributeBlock());
        }
    }
    GridPicture a(plain.grid);
    GridPicture b(marked.grid);
    ASSERT_EQ(a.Width(), b.Width());
    int differing = 0;
    for (int y = 0; y < a.Height(); y++)
        for (int x = 0; x < a.Width(); x++)
            differing += a.Pixel(x, y) != b.Pixel(x, y);
    EXPECT_EQ(0, differing);
}

TEST(GridCellStorage, AnEditHoldsTheBlockOnlyWhileItIsOpen)
{
    TestGrid t(5, 5, 1, 1, true);
    t.grid.SetEditable(TRUE);
    t.grid.SetFocus();
    t.grid.SetFocusCell(2, 2);
    t.grid.SetSelectedRange(2, 2, 2, 2);
    CGridCell* cell = static_cast<CGridCell*>(t.grid.GetCell(2, 2));
    ASSERT_FALSE(cell->HasAttributeBlock());
    t.Send(WM_CHAR, 'q', 0);
    PumpMessages();
    ASSERT_TRUE(cell->IsEditing());
    ASSERT_NE(nullptr, cell->GetEditWnd());
    EXPECT_TRUE(cell->HasAttributeBlock());
    t.grid.EndEditing();
    PumpMessages();
    EXPECT_FALSE(cell->IsEditing());
    EXPECT_EQ(nullptr, cell->GetEditWnd());
    EXPECT_FALSE(cell->HasAttributeBlock());
}

// ---- Auto-sizing on one DC ------------------------------------------------------------------

namespace {

// Texts of every kind a records grid holds, and some it rarely does.
const wchar_t* const SAMPLE_TEXTS[] = {
    L"", L"Smith", L"WWWWWWWW", L"iiiiiiii", L"123 Main St, Apt 4B", L"12/31/2025", L"$1,234.56", L"99213",
    L"J45.909", L"Müller-Lüdenscheidt", L"Ærøskøbing", L"Straße", L"Ωμέγα", L"東京都", L"a\tb", L"😀 emoji",
    L"O'Brien", L"(555) 123-4567", L"x", L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", L"0", L"Y", L"N", L"SELF",
    L"A much longer free text that goes on and on", L"  padded  ", L"ĳĲŉſƒǄ", L"Ϙ",
};
const int SAMPLE_COUNT = sizeof(SAMPLE_TEXTS) / sizeof(SAMPLE_TEXTS[0]);

// Fills column col of rows 1.. with the samples, each shifted by the column so the columns differ.
void FillSamples(CGridCtrl& grid, int col)
{
    for (int row = 1; row < grid.GetRowCount(); row++)
        grid.SetItemText(row, col, SAMPLE_TEXTS[(row + col * 5) % SAMPLE_COUNT]);
}

// The widest extent over a column's cells, each measured by its own GetCellExtent on the DC.
int WidestByOwnMeasure(CGridCtrl& grid, int col, CDC* dc)
{
    int widest = 0;
    for (int row = 0; row < grid.GetRowCount(); row++)
    {
        CSize size = grid.GetCell(row, col)->GetCellExtent(dc);
        if (row == 0 || size.cx > widest)
            widest = size.cx;
    }
    return widest;
}

} // namespace

TEST(GridCellStorage, AutoSizedWidthsAgreeWithEachCellsOwnMeasure)
{
    TestGrid t(90, 7, 1, 1, true);
    for (int col = 0; col < 7; col++)
        FillSamples(t.grid, col);
    // Cells that measure themselves differently: an own font, a vertical font, an own margin, a
    // multi-line format, an image-free fixed cell with a long heading.
    LOGFONT big = TestFont(-24);
    t.grid.GetCell(5, 2)->SetFont(&big);
    LOGFONT vertical = TestFont(-12, 900);
    t.grid.GetCell(7, 3)->SetFont(&vertical);
    t.grid.GetCell(9, 4)->SetMargin(11);
    t.grid.GetCell(11, 5)->SetFormat(DT_WORDBREAK | DT_LEFT);
    t.grid.SetItemText(11, 5, L"first line\nand a second, longer line");
    t.grid.SetItemText(0, 6, L"A heading wider than any value below it");

    std::vector<int> expected;
    {
        HDC hdc = ::GetDC(t.grid.GetSafeHwnd());
        ASSERT_NE(nullptr, hdc);
        CDC dc;
        dc.Attach(hdc);
        for (int col = 0; col < 7; col++)
            expected.push_back(WidestByOwnMeasure(t.grid, col, &dc));
        dc.Detach();
        ::ReleaseDC(t.grid.GetSafeHwnd(), hdc);
    }
    t.grid.AutoSizeColumns(GVS_BOTH);
    for (int col = 0; col < 7; col++)
        EXPECT_EQ(expected[col], t.grid.GetColumnWidth(col)) << "column " << col;

    // One column alone, and one row, give the same as well.
    t.grid.SetColumnWidth(4, 5);
    ASSERT_TRUE(t.grid.AutoSizeColumn(4, GVS_BOTH));
    EXPECT_EQ(expected[4], t.grid.GetColumnWidth(4));
    int tallest = 0;
    {
        HDC hdc = ::GetDC(t.grid.GetSafeHwnd());
        CDC dc;
        dc.Attach(hdc);
        for (int col = 0; col < 7; col++)
            tallest = std::max(tallest, static_cast<int>(t.grid.GetCell(7, col)->GetCellExtent(&dc).cy));
        dc.Detach();
        ::ReleaseDC(t.grid.GetSafeHwnd(), hdc);
    }
    ASSERT_TRUE(t.grid.AutoSizeRow(7));
    EXPECT_EQ(tallest, t.grid.GetRowHeight(7));
}

TEST(GridCellStorage, AutoSizedWidthIsTheWidestTextWithItsMargins)
{
    TestGrid t(4, 2, 1, 1, true);
    t.grid.SetItemText(0, 1, L"");
    t.grid.SetItemText(1, 1, L"iii");
    t.grid.SetItemText(2, 1, L"WWWWW");
    t.grid.SetItemText(3, 1, L"MMM");
    // In the normal cells' font (8-point Tahoma here) "WWWWW" is 50 pixels wide and "MMM" 27, as
    // GDI measures them; the column takes the wider, a 3-pixel margin (a space) on either side and
    // one pixel: 57.
    CGridDefaultCell* def = static_cast<CGridDefaultCell*>(t.grid.GetDefaultCell(FALSE, FALSE));
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, def->GetFontObject()->GetSafeHandle());
    SIZE w = {0, 0}, m = {0, 0}, space = {0, 0};
    ::GetTextExtentPoint32W(hdc, L"WWWWW", 5, &w);
    ::GetTextExtentPoint32W(hdc, L"MMM", 3, &m);
    ::GetTextExtentPoint32W(hdc, L" ", 1, &space);
    ::SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
    ASSERT_EQ(50, w.cx) << "the font differs from the one these figures are for";
    ASSERT_EQ(27, m.cx);
    ASSERT_EQ(3, space.cx);
    t.grid.AutoSizeColumns(GVS_DATA);
    EXPECT_EQ(57, t.grid.GetColumnWidth(1));
}

TEST(GridCellStorage, MeasuringAgreesOnADCThatSpacesCharactersAndWords)
{
    CGridCtrl grid(SAMPLE_COUNT + 1, 2, 1, 1);
    FillSamples(grid, 1);
    HDC screen = ::GetDC(nullptr);
    HDC hdc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, hdc);
    // Extra space after every character, and 10 pixels shared by three word breaks: one break gets
    // 4 and the others 3, so a text is no longer the sum of its characters measured alone.
    ::SetTextCharacterExtra(hdc, 3);
    ::SetTextJustification(hdc, 10, 3);
    HGDIOBJ originalFont = ::GetCurrentObject(hdc, OBJ_FONT);
    CDC dc;
    dc.Attach(hdc);
    {
        CellExtentMeasurer measurer(&dc);
        for (int row = 0; row <= SAMPLE_COUNT; row++)
        {
            CGridCellBase* cell = grid.GetCell(row, 1);
            CSize own = cell->GetCellExtent(&dc);
            CSize measured = measurer.CellExtent(cell);
            EXPECT_EQ(own.cx, measured.cx) << row;
            EXPECT_EQ(own.cy, measured.cy) << row;
        }
    }
    EXPECT_EQ(originalFont, ::GetCurrentObject(hdc, OBJ_FONT)) << "the DC's font is put back";
    dc.Detach();
    ::DeleteDC(hdc);
}
