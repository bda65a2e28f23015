// Repainting while scrolling on a shown window: after line steps, which move the pixels already shown
// and paint only the strip that comes into view, the window shows exactly what a full paint shows;
// and a paint of a small area draws only the cells in it.
#include <gtest/gtest.h>
#include "GridTestSupport.h"
#include "grid/GridCell.h"

namespace {

// The grid's client area as it is on the window, read back into a 32-bit DIB.
class WindowPixels
{
public:
    explicit WindowPixels(CGridCtrl& grid) : m_dib(GridClient(grid).Width(), GridClient(grid).Height())
    {
        HDC window = ::GetDC(grid.GetSafeHwnd());
        m_copied = window && ::BitBlt(m_dib.Dc(), 0, 0, m_dib.Width(), m_dib.Height(), window, 0, 0, SRCCOPY);
        if (window)
            ::ReleaseDC(grid.GetSafeHwnd(), window);
    }
    bool Copied() const { return m_copied && m_dib.Ready(); }
    COLORREF Pixel(int x, int y) const { return m_dib.Pixel(x, y); }

private:
    Dib32 m_dib;
    bool m_copied = false;
};

// The pixels where the window differs from a full paint of the grid, with the first one found.
int Differences(CGridCtrl& grid, CPoint& first)
{
    WindowPixels shown(grid);
    GridPicture fresh(grid);
    if (!shown.Copied())
        return -1;
    int count = 0;
    for (int y = 0; y < fresh.Height(); y++)
        for (int x = 0; x < fresh.Width(); x++)
            if (shown.Pixel(x, y) != fresh.Pixel(x, y) && count++ == 0)
                first = CPoint(x, y);
    return count;
}

// A cell that counts how often it is drawn.
class CountingCell : public CGridCell
{
public:
    static int draws;
    BOOL Draw(CDC* pDC, int row, int col, CRect rect, BOOL eraseBkgnd) override
    {
        draws++;
        return CGridCell::Draw(pDC, row, col, rect, eraseBkgnd);
    }
};
int CountingCell::draws = 0;

// Puts counting cells with the same text, state and format in place of the grid's cells.
void UseCountingCells(CGridCtrl& grid)
{
    for (int row = 0; row < grid.GetRowCount(); row++)
        for (int col = 0; col < grid.GetColumnCount(); col++)
        {
            CGridCellBase* old = grid.GetCell(row, col);
            auto* cell = new CountingCell();
            *static_cast<CGridCellBase*>(cell) = *old;
            cell->SetState(old->GetState());
            grid.SetCell(row, col, cell);
            delete old;
        }
}

} // namespace

TEST(GridScrollPaint, LineStepsShowWhatAFullPaintShows)
{
    TestGrid t(200, 40, 1, 1, true);
    ::SetWindowPos(t.owner.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Rows and columns of other sizes, and a hidden row and column, among the first ones scrolled.
    t.grid.SetRowHeight(2, 34);
    t.grid.SetRowHeight(4, 0);
    t.grid.SetRowHeight(6, 9);
    t.grid.SetColumnWidth(2, 95);
    t.grid.SetColumnWidth(3, 0);
    t.grid.SetItemBkColour(5, 5, RGB(0, 128, 255));
    t.grid.ResetScrollBars();
    t.grid.Invalidate();
    t.grid.UpdateWindow();

    const struct { UINT message; WPARAM code; int times; } steps[] = {
        {WM_VSCROLL, SB_LINEDOWN, 7}, {WM_HSCROLL, SB_LINERIGHT, 4}, {WM_VSCROLL, SB_LINEUP, 3},
        {WM_HSCROLL, SB_LINELEFT, 2}, {WM_VSCROLL, SB_LINEDOWN, 1}, {WM_HSCROLL, SB_LINERIGHT, 1}};
    int step = 0;
    for (const auto& s : steps)
        for (int i = 0; i < s.times; i++, step++)
        {
            int bar = s.message == WM_VSCROLL ? SB_VERT : SB_HORZ;
            int before = t.grid.GetScrollPos32(bar);
            t.Send(s.message, s.code, 0);
            ASSERT_NE(before, t.grid.GetScrollPos32(bar)) << "step " << step << " scrolled";
            t.grid.UpdateWindow();
            CPoint first;
            int differences = Differences(t.grid, first);
            ASSERT_EQ(0, differences) << "step " << step << ", first at " << first.x << "," << first.y;
        }
}

TEST(GridScrollPaint, PaintingAStripDrawsOnlyTheCellsInIt)
{
    TestGrid t(30, 10, 1, 1, true);
    UseCountingCells(t.grid);
    t.grid.Invalidate();
    t.grid.UpdateWindow();
    // Once more in full, so that the kept off-screen bitmap is the size of the window.
    CountingCell::draws = 0;
    t.grid.Invalidate();
    t.grid.UpdateWindow();
    int full = CountingCell::draws;
    EXPECT_GT(full, 40);

    // Inside one cell of the scrolled area: that cell is drawn, and at most the top-left fixed cell,
    // which every paint draws.
    CRect cell;
    t.grid.GetCellRect(3, 3, cell);
    CRect inner(cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2);
    CountingCell::draws = 0;
    t.grid.InvalidateRect(inner);
    t.grid.UpdateWindow();
    EXPECT_GE(CountingCell::draws, 1);
    EXPECT_LE(CountingCell::draws, 2);
}
