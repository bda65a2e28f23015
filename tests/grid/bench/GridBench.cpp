// Grid benchmark: a year of claims (10,000 rows x 226 columns) is filled, its columns auto-sized, sorted
// by a text column and painted at 1280 x 1024 while scrolling; prints the times and the peak memory. Run by hand.
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <vector>
#include <algorithm>
#include "grid/GridCtrl.h"
#include "grid/MemDC.h"

namespace {

const int ROWS = 10000;
const int COLS = 226;
const int WIDTH = 1280;
const int HEIGHT = 1024;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Paints the grid as WM_PAINT does (off-screen, then copied) onto a 1280 x 1024 DIB.
class Canvas
{
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = WIDTH;
        info.bmiHeader.biHeight = -HEIGHT;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    double Paint(CGridCtrl& grid)
    {
        double start = Now();
        CDC target;
        target.Attach(m_dc);
        {
            CMemDC buffered(&target, &m_buffer);
            grid.OnDraw(&buffered);
        }
        target.Detach();
        ::GdiFlush();
        return Now() - start;
    }

private:
    PaintBuffer m_buffer;   // as the grid keeps one for its WM_PAINT
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

// What the records page installs for a header click: the clicked column is sorted again by text
// for every pair compared, and the pair reported equal.
CGridCtrl* g_grid = nullptr;

int CALLBACK SortAgainByText(LPARAM, LPARAM, LPARAM data)
{
    const CCellID* clicked = reinterpret_cast<const CCellID*>(data);
    g_grid->SortTextItems(clicked->col, g_grid->GetSortAscending(), data);
    return 0;
}

} // namespace

int main()
{
    ::OleInitialize(nullptr);
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, WIDTH + 40, HEIGHT + 40, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CGridCtrl grid;
    if (!grid.Create(CRect(0, 0, WIDTH, HEIGHT), CWnd::FromHandle(owner), 1, WS_CHILD | WS_VISIBLE))
    {
        std::printf("grid window could not be created\n");
        return 1;
    }

    // Fill: column 0 with the save date, one column per claim-form field.
    double start = Now();
    grid.SetColumnCount(COLS);
    grid.SetRowCount(ROWS + 1);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    wchar_t text[64];
    for (int col = 0; col < COLS; col++)
    {
        swprintf(text, 64, L"Field %d", col);
        grid.SetItemText(0, col, text);
    }
    for (int row = 1; row <= ROWS; row++)
    {
        swprintf(text, 64, L"%02d/%02d/2026 09:%02d", 1 + row % 12, 1 + row % 28, row % 60);
        grid.SetItemText(row, 0, text);
        for (int col = 1; col < COLS; col++)
        {
            unsigned value = static_cast<unsigned>(row) * 2654435761u + static_cast<unsigned>(col) * 40503u;
            swprintf(text, 64, L"%c%u", L'A' + value % 26, value % 100000);
            grid.SetItemText(row, col, text);
        }
    }
    double fill = Now() - start;

    start = Now();
    grid.AutoSizeColumns(GVS_BOTH);
    double autoSize = Now() - start;

    start = Now();
    grid.SortTextItems(3, TRUE);
    double sort = Now() - start;

    g_grid = &grid;
    grid.SetCompareFunction(SortAgainByText);
    CCellID clicked(0, 5);
    start = Now();
    grid.SortItems(5, FALSE, reinterpret_cast<LPARAM>(&clicked));
    double nestedSort = Now() - start;
    grid.SetCompareFunction(nullptr);

    // Repaint while scrolling: one full paint per page down, then per line down.
    Canvas canvas;
    std::vector<double> paints;
    paints.push_back(canvas.Paint(grid));
    for (int i = 0; i < 40; i++)
    {
        grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        paints.push_back(canvas.Paint(grid));
    }
    for (int i = 0; i < 40; i++)
    {
        grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        grid.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        paints.push_back(canvas.Paint(grid));
    }
    double worst = *std::max_element(paints.begin(), paints.end());
    double worstWarm = *std::max_element(paints.begin() + 1, paints.end());
    double total = 0;
    for (double p : paints)
        total += p;

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));

    std::printf("grid %d rows x %d columns\n", ROWS, COLS);
    std::printf("fill: %.0f ms\n", fill);
    std::printf("auto-size every column (header and data rows): %.0f ms\n", autoSize);
    std::printf("sort by a text column: %.0f ms\n", sort);
    std::printf("sort through a comparison that sorts the grid again: %.0f ms\n", nestedSort);
    std::printf("repaint %dx%d while scrolling: %zu paints, mean %.1f ms, worst %.1f ms (first %.1f ms, worst after it %.1f ms)\n",
                WIDTH, HEIGHT, paints.size(), total / paints.size(), worst, paints[0], worstWarm);
    std::printf("peak working set: %.0f MB, peak committed: %.0f MB\n", memory.PeakWorkingSetSize / 1048576.0,
                memory.PeakPagefileUsage / 1048576.0);
    grid.DestroyWindow();
    ::DestroyWindow(owner);
    return 0;
}
