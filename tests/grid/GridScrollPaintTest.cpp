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

namespace {

const COLORREF MARK = RGB(255, 0, 255);

// The vertical bar's state, and a point of its track between the thumb and the lower arrow, in the
// grid window's coordinates.
struct BarState
{
    SCROLLBARINFO info;
    CPoint track;
};

bool ReadBar(CGridCtrl& grid, BarState& state)
{
    state.info = {};
    state.info.cbSize = sizeof(state.info);
    if (!::GetScrollBarInfo(grid.GetSafeHwnd(), OBJID_VSCROLL, &state.info))
        return false;
    RECT window;
    ::GetWindowRect(grid.GetSafeHwnd(), &window);
    const RECT& bar = state.info.rcScrollBar;
    int length = bar.bottom - bar.top;
    state.track = CPoint((bar.left + bar.right) / 2 - window.left,
                         bar.top + (state.info.xyThumbBottom + length - state.info.dxyLineButton) / 2 - window.top);
    return true;
}

COLORREF WindowPixel(CGridCtrl& grid, CPoint point, const COLORREF* set = nullptr)
{
    HDC dc = ::GetWindowDC(grid.GetSafeHwnd());
    if (set)
        ::SetPixelV(dc, point.x, point.y, *set);
    COLORREF colour = ::GetPixel(dc, point.x, point.y);
    ::ReleaseDC(grid.GetSafeHwnd(), dc);
    return colour;
}

// A bar's pixels along its middle: down the vertical one, across the horizontal one.
std::vector<COLORREF> BarLine(CGridCtrl& grid, LONG object)
{
    std::vector<COLORREF> line;
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetScrollBarInfo(grid.GetSafeHwnd(), object, &info))
        return line;
    RECT window;
    ::GetWindowRect(grid.GetSafeHwnd(), &window);
    const RECT& bar = info.rcScrollBar;
    bool vertical = object == OBJID_VSCROLL;
    int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int x = (vertical ? (bar.left + bar.right) / 2 : bar.left) - window.left;
    int y = (vertical ? bar.top : (bar.top + bar.bottom) / 2) - window.top;
    Dib32 copy(vertical ? 1 : length, vertical ? length : 1);
    HDC dc = ::GetWindowDC(grid.GetSafeHwnd());
    bool copied = copy.Ready() && dc &&
                  ::BitBlt(copy.Dc(), 0, 0, vertical ? 1 : length, vertical ? length : 1, dc, x, y, SRCCOPY);
    if (dc)
        ::ReleaseDC(grid.GetSafeHwnd(), dc);
    for (int i = 0; copied && i < length; i++)
        line.push_back(vertical ? copy.Pixel(0, i) : copy.Pixel(i, 0));
    return line;
}

std::vector<COLORREF> BarColumn(CGridCtrl& grid)
{
    return BarLine(grid, OBJID_VSCROLL);
}

// What the bar shows after the system draws it again at the same position.
std::vector<COLORREF> RedrawnBarLine(CGridCtrl& grid, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = grid.GetScrollPos32(bar);
    ::SetScrollInfo(grid.GetSafeHwnd(), bar, &info, TRUE);
    return BarLine(grid, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL);
}

} // namespace

// A line step leaves the scroll bar as it is while its thumb stays on the same pixels (a redraw of
// the bar costs more than the paint of the step) and redraws it when the thumb moves; what the bar
// shows is then what a redraw of it shows.
TEST(GridScrollPaint, LineStepsRedrawTheBarOnlyWhenTheThumbMoves)
{
    // Filled hidden (each row's height set on a shown grid would redraw the bar), then shown.
    TestGrid t(2000, 5);
    ::SetWindowPos(t.owner.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ASSERT_TRUE(::IsWindowVisible(t.grid.GetSafeHwnd()));
    // From the second row on, the part of the track above the thumb is shown.
    t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
    t.grid.UpdateWindow();
    int kept = 0, redrawn = 0;
    for (int step = 0; step < 40; step++)
    {
        BarState before, after;
        ASSERT_TRUE(ReadBar(t.grid, before));
        ASSERT_EQ(MARK, WindowPixel(t.grid, before.track, &MARK)) << "the mark is set on the window";
        int pos = t.grid.GetScrollPos32(SB_VERT);
        t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
        ASSERT_EQ(pos + 20, t.grid.GetScrollPos32(SB_VERT)) << "step " << step;
        ASSERT_EQ(20 + 20 * step, pos);
        ASSERT_TRUE(ReadBar(t.grid, after));
        bool moved = after.info.xyThumbTop != before.info.xyThumbTop;
        COLORREF mark = WindowPixel(t.grid, before.track);
        if (moved)
        {
            EXPECT_NE(MARK, mark) << "step " << step << ": the thumb moved and the bar was drawn again";
            redrawn++;
        }
        else
        {
            EXPECT_EQ(MARK, mark) << "step " << step << ": the thumb stayed and the bar was left";
            kept++;
        }
        t.grid.UpdateWindow();
    }
    // With 2,000 rows of 20 pixels the thumb moves every few steps.
    EXPECT_GE(kept, 20);
    EXPECT_GE(redrawn, 2);

    // Without the marks: after more steps, down and up, the bar shows what a redraw of it shows,
    // and its thumb is not where it started.
    t.grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
    t.grid.UpdateWindow();
    std::vector<COLORREF> top = BarColumn(t.grid);
    for (int step = 0; step < 37; step++)
        t.Send(WM_VSCROLL, SB_LINEDOWN, 0);
    for (int step = 0; step < 3; step++)
        t.Send(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(34 * 20, t.grid.GetScrollPos32(SB_VERT));
    std::vector<COLORREF> shown = BarColumn(t.grid);
    std::vector<COLORREF> redrawnBar = RedrawnBarLine(t.grid, SB_VERT);
    ASSERT_GT(shown.size(), 100u);
    EXPECT_TRUE(shown == redrawnBar);
    EXPECT_FALSE(top == shown);
}

// A column is a large share of the width, so every line step right moves the horizontal bar's thumb:
// the bar is drawn again at each step and shows what a redraw of it shows, and the cells show what a
// full paint shows.
TEST(GridScrollPaint, LineStepsRightRedrawTheMovedThumb)
{
    TestGrid t(5, 40);
    ::SetWindowPos(t.owner.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ASSERT_TRUE(::IsWindowVisible(t.grid.GetSafeHwnd()));
    t.grid.UpdateWindow();
    for (int step = 0; step < 8; step++)
    {
        SCROLLBARINFO before = {}, after = {};
        before.cbSize = after.cbSize = sizeof(SCROLLBARINFO);
        ASSERT_TRUE(::GetScrollBarInfo(t.grid.GetSafeHwnd(), OBJID_HSCROLL, &before));
        int pos = t.grid.GetScrollPos32(SB_HORZ);
        t.Send(WM_HSCROLL, SB_LINERIGHT, 0);
        ASSERT_EQ(pos + t.grid.GetColumnWidth(1 + step), t.grid.GetScrollPos32(SB_HORZ)) << "step " << step;
        ASSERT_TRUE(::GetScrollBarInfo(t.grid.GetSafeHwnd(), OBJID_HSCROLL, &after));
        EXPECT_GT(after.xyThumbTop, before.xyThumbTop) << "step " << step << ": the thumb moved";
        t.grid.UpdateWindow();
        std::vector<COLORREF> shown = BarLine(t.grid, OBJID_HSCROLL);
        ASSERT_GT(shown.size(), 100u);
        EXPECT_TRUE(shown == RedrawnBarLine(t.grid, SB_HORZ)) << "step " << step;
        CPoint first;
        EXPECT_EQ(0, Differences(t.grid, first)) << "step " << step << ", first at " << first.x << "," << first.y;
    }
}
