// Painting: OnDraw into a 32-bit DIB, checking the colours of selected, fixed and normal cells, the
// grid lines, the background beyond the cells, the focus frame and the sort arrow; and a WM_PAINT
// on a shown window.
#include <gtest/gtest.h>
#include "GridTestSupport.h"

namespace {

COLORREF Sys(int index)
{
    return ::GetSysColor(index) & 0xFFFFFF;
}

// A pixel well inside a cell, clear of its text (cells are 60 x 20; texts are short and centred).
CPoint Inside(CGridCtrl& grid, int row, int col)
{
    CRect rect;
    grid.GetCellRect(row, col, rect);
    return CPoint(rect.left + 3, rect.top + 3);
}

int Count(const GridPicture& picture, const CRect& rect, COLORREF colour)
{
    return picture.CountColour(rect, colour);
}

} // namespace

TEST(GridPaint, AreasGetTheirDefaultColours)
{
    TestGrid t(4, 3);
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 3; col++)
            t.grid.SetItemText(row, col, L"");
    GridPicture picture(t.grid);
    CPoint normal = Inside(t.grid, 2, 2);
    EXPECT_EQ(Sys(COLOR_WINDOW), picture.Pixel(normal.x, normal.y));
    CPoint header = Inside(t.grid, 0, 2);
    EXPECT_EQ(Sys(COLOR_3DFACE), picture.Pixel(header.x, header.y));
    CPoint fixedCol = Inside(t.grid, 2, 0);
    EXPECT_EQ(Sys(COLOR_3DFACE), picture.Pixel(fixedCol.x, fixedCol.y));
    // Beyond the last column and below the last row: the grid background.
    EXPECT_EQ(Sys(COLOR_3DSHADOW), picture.Pixel(picture.Width() - 3, 5));
    EXPECT_EQ(Sys(COLOR_3DSHADOW), picture.Pixel(30, picture.Height() - 3));
    EXPECT_EQ(0, Count(picture, CRect(0, 0, picture.Width(), picture.Height()), RGB(1, 2, 3)))
        << "every pixel is painted";
}

TEST(GridPaint, GridLinesRunAlongTheRightAndBottomEdges)
{
    TestGrid t(4, 3);
    GridPicture picture(t.grid);
    CRect cell;
    t.grid.GetCellRect(2, 1, cell);
    const COLORREF line = RGB(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(line, picture.Pixel(cell.right, cell.top + 2));
    EXPECT_EQ(line, picture.Pixel(cell.left + 2, cell.bottom));
    EXPECT_NE(line, picture.Pixel(cell.left + 2, cell.top + 2));
}

TEST(GridPaint, SelectedCellsAreLightGreyWhateverTheSystemColours)
{
    TestGrid t(4, 3);
    t.grid.SetItemText(2, 2, L"");
    t.grid.SetSelectedRange(2, 2, 2, 2);
    GridPicture picture(t.grid);
    CPoint selected = Inside(t.grid, 2, 2);
    EXPECT_EQ(RGB(0xCC, 0xCC, 0xCC), picture.Pixel(selected.x, selected.y));
    CPoint other = Inside(t.grid, 2, 1);
    EXPECT_EQ(Sys(COLOR_WINDOW), picture.Pixel(other.x, other.y));
}

TEST(GridPaint, FocusedSelectedCellGetsAFrameInItsTextColour)
{
    TestGrid t(4, 3);
    t.grid.SetItemText(2, 2, L"");
    t.grid.SetFocusCell(2, 2);
    t.grid.SetSelectedRange(2, 2, 2, 2);
    GridPicture picture(t.grid);
    CRect cell;
    t.grid.GetCellRect(2, 2, cell);
    EXPECT_EQ(RGB(0, 0, 0), picture.Pixel(cell.left, cell.top + 5)) << "frame at the left edge";
    EXPECT_EQ(RGB(0, 0, 0), picture.Pixel(cell.left + 5, cell.top)) << "frame at the top edge";
    EXPECT_EQ(RGB(0xCC, 0xCC, 0xCC), picture.Pixel(cell.left + 3, cell.top + 3));
}

TEST(GridPaint, SortArrowOnlyInTheSortedHeader)
{
    TestGrid t(4, 4);
    for (int col = 0; col < 4; col++)
        t.grid.SetItemText(0, col, L"");
    t.grid.SortTextItems(2, TRUE);
    GridPicture picture(t.grid);
    CRect sorted, other;
    t.grid.GetCellRect(0, 2, sorted);
    t.grid.GetCellRect(0, 3, other);
    // The arrow sits at the right end of the header cell in the shadow and highlight colours.
    CRect sortedEnd(sorted.right - 20, sorted.top + 2, sorted.right - 2, sorted.bottom - 2);
    CRect otherEnd(other.right - 20, other.top + 2, other.right - 2, other.bottom - 2);
    EXPECT_GT(Count(picture, sortedEnd, Sys(COLOR_3DSHADOW)), 3);
    EXPECT_EQ(0, Count(picture, otherEnd, Sys(COLOR_3DSHADOW)));
}

TEST(GridPaint, FixedCellsOfTheFocusRowAndColumnLookSunken)
{
    TestGrid t(4, 4);
    GridPicture before(t.grid);
    t.grid.SetFocusCell(2, 2);
    GridPicture after(t.grid);
    CRect header;
    t.grid.GetCellRect(0, 2, header);
    // The raised look has its highlight on the top edge; the sunken one has a shadow there.
    EXPECT_EQ(Sys(COLOR_3DHIGHLIGHT), before.Pixel(header.left + 10, header.top));
    EXPECT_NE(Sys(COLOR_3DHIGHLIGHT), after.Pixel(header.left + 10, header.top));
}

TEST(GridPaint, HiddenRowsAndColumnsTakeNoSpace)
{
    TestGrid t(5, 4);
    t.grid.SetColumnWidth(2, 0);
    t.grid.SetItemText(1, 3, L"");
    t.grid.SetItemBkColour(1, 3, RGB(255, 255, 0));
    GridPicture picture(t.grid);
    // Column 3 now starts where column 2 would have: right after column 1.
    EXPECT_EQ(RGB(255, 255, 0), picture.Pixel(60 + 60 + 3, 20 + 3));
}

TEST(GridPaint, PaintMessageOnAShownWindowDrawsTheCells)
{
    TestGrid t(4, 3, 1, 1, true);
    t.grid.SetItemText(2, 2, L"");
    t.grid.SetItemBkColour(2, 2, RGB(0, 128, 255));
    t.grid.Invalidate();
    t.grid.UpdateWindow();
    CPoint point = Inside(t.grid, 2, 2);
    HDC dc = ::GetDC(t.grid.GetSafeHwnd());
    COLORREF onScreen = ::GetPixel(dc, point.x, point.y);
    ::ReleaseDC(t.grid.GetSafeHwnd(), dc);
    EXPECT_EQ(RGB(0, 128, 255), onScreen);
}
