// Grid benchmark: a year of claims (10,000 rows x 226 columns) is filled, its columns auto-sized, sorted
// by a text column and repainted in a shown 1280 x 1024 window while scrolling (page by page, line by
// line and to the right); prints the times of the steps that moved the view (median and slowest
// repaint, the scroll message's share, and the drawing alone into an off-screen bitmap) and the peak
// memory. Run by hand:  grid_bench [scroll steps of each kind]
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <vector>
#include <algorithm>
#include <cstdlib>
#include "grid/DibCanvas.h"
#include "grid/GridCtrl.h"

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

// Handles what is waiting (the window's own messages after it was shown or resized).
void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// One repaint of the shown grid as the user sees it while scrolling: the scroll message, the WM_PAINT
// it causes (off-screen drawing and the copy to the window), GDI done, and everything else waiting
// handled until the queue is idle, where the window's pixels are pushed to the display. A step at the
// edge moves nothing and is not counted (moved false).
struct Repaint
{
    double total = 0;
    double message = 0; // the scroll message alone (with any redraw of the scroll bar it makes)
    bool moved = true;
};

Repaint ScrollAndRepaint(CGridCtrl& grid, UINT message, WPARAM code)
{
    Repaint repaint;
    int horizontal = grid.GetScrollPos32(SB_HORZ);
    int vertical = grid.GetScrollPos32(SB_VERT);
    double start = Now();
    if (message)
        grid.SendMessage(message, code, 0);
    repaint.message = Now() - start;
    ::UpdateWindow(grid.GetSafeHwnd());
    ::GdiFlush();
    PumpPending();
    repaint.total = Now() - start;
    repaint.moved = !message || grid.GetScrollPos32(SB_HORZ) != horizontal || grid.GetScrollPos32(SB_VERT) != vertical;
    return repaint;
}

double Percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[static_cast<size_t>(share * (times.size() - 1))];
}

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

int main(int argc, char** argv)
{
    int steps = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    ::OleInitialize(nullptr);
    // A shown top-level window whose client area is the grid's 1280 x 1024.
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, WIDTH,
                                   HEIGHT, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
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

    // Repaint while scrolling: the first paint of the shown window, then page by page down, line by line
    // down, line by line to the right and page by page to the right and back up.
    ::ShowWindow(grid.GetSafeHwnd(), SW_SHOW);
    ::InvalidateRect(grid.GetSafeHwnd(), nullptr, TRUE);
    double first = ScrollAndRepaint(grid, 0, 0).total;
    std::vector<double> paints;
    const struct { UINT message; WPARAM code; const char* name; } kinds[] = {
        {WM_VSCROLL, SB_PAGEDOWN, "page down"}, {WM_VSCROLL, SB_LINEDOWN, "line down"},
        {WM_HSCROLL, SB_LINERIGHT, "line right"}, {WM_HSCROLL, SB_PAGERIGHT, "page right"},
        {WM_VSCROLL, SB_PAGEUP, "page up"}, {WM_VSCROLL, SB_LINEUP, "line up"}};
    std::vector<std::vector<double>> byKind, messagesByKind;
    int still = 0;
    for (const auto& kind : kinds)
    {
        std::vector<double> these, messages;
        for (int i = 0; i < steps; i++)
        {
            Repaint repaint = ScrollAndRepaint(grid, kind.message, kind.code);
            if (!repaint.moved)
            {
                still++;
                continue;
            }
            these.push_back(repaint.total);
            messages.push_back(repaint.message);
        }
        byKind.push_back(these);
        messagesByKind.push_back(messages);
        paints.insert(paints.end(), these.begin(), these.end());
    }
    // The drawing alone: the whole area drawn into an off-screen bitmap at page steps from the top,
    // with no copy to the window.
    std::vector<double> draws;
    {
        // A 32-bit DIB section, as the grid's own paints draw into.
        HDC screen = ::GetDC(grid.GetSafeHwnd());
        HDC memory = ::CreateCompatibleDC(screen);
        DWORD* bits = nullptr;
        HBITMAP bitmap = CreateDib32(screen, WIDTH, HEIGHT, &bits);
        ::ReleaseDC(grid.GetSafeHwnd(), screen);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
        CDC dc;
        dc.Attach(memory);
        for (int i = 0; i < steps; i++)
        {
            grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
            start = Now();
            grid.OnDraw(&dc);
            ::GdiFlush();
            draws.push_back(Now() - start);
        }
        dc.Detach();
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        PumpPending();
    }
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
    std::printf("repaint %dx%d while scrolling, shown window: %zu repaints (steps that moved the view; %d at "
                "the edge not counted), median %.1f ms, 99th percentile %.1f ms, "
                "slowest %.1f ms, mean %.1f ms (first paint of the window %.1f ms)\n",
                WIDTH, HEIGHT, paints.size(), still, Percentile(paints, 0.5), Percentile(paints, 0.99),
                Percentile(paints, 1.0), total / paints.size(), first);
    for (size_t k = 0; k < byKind.size(); k++)
    {
        if (byKind[k].empty())
        {
            std::printf("  %-10s: no step moved the view\n", kinds[k].name);
            continue;
        }
        std::printf("  %-10s x %2zu: median %5.1f ms, slowest %5.1f ms (of which the scroll message: median %4.1f ms)\n",
                    kinds[k].name, byKind[k].size(), Percentile(byKind[k], 0.5), Percentile(byKind[k], 1.0),
                    Percentile(messagesByKind[k], 0.5));
    }
    std::printf("  off-screen draw of the whole area x %d: median %5.1f ms, slowest %5.1f ms\n", steps,
                Percentile(draws, 0.5), Percentile(draws, 1.0));
    std::printf("peak working set: %.0f MB, peak committed: %.0f MB\n", memory.PeakWorkingSetSize / 1048576.0,
                memory.PeakPagefileUsage / 1048576.0);
    grid.DestroyWindow();
    ::DestroyWindow(owner);
    return 0;
}
