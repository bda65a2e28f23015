// Row layout of a bar's controls.
#include "pages/BarLayout.h"

#include <algorithm>
#include <vector>

namespace {
const int kMargin = 2; // around the controls, inside the bar
const int kGap = 3;    // between neighbours in a row, and between rows

struct Control
{
    HWND window;
    SIZE size;
};

std::vector<Control> VisibleControls(HWND bar)
{
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(bar, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT rect;
        if (!::GetWindowRect(child, &rect))
            continue;
        controls.push_back({child, {rect.right - rect.left, rect.bottom - rect.top}});
    }
    return controls;
}

// Moves one row's controls into place at the row's top, centred in its height.
void PlaceRow(const std::vector<Control>& row, int top, int height)
{
    int x = kMargin;
    for (const Control& control : row)
    {
        ::SetWindowPos(control.window, nullptr, x, top + (height - control.size.cy) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        x += control.size.cx + kGap;
    }
}
} // namespace

namespace {
// Breaks the controls into rows no wider than maxWidth; places each row when asked to. Answers the
// size the bar needs.
SIZE Flow(HWND bar, int maxWidth, bool place)
{
    const std::vector<Control> controls = VisibleControls(bar);
    std::vector<Control> row;
    int rowWidth = 0, rowHeight = 0, top = kMargin, widest = 0;
    auto closeRow = [&]() {
        if (place)
            PlaceRow(row, top, rowHeight);
        widest = std::max(widest, rowWidth);
        top += rowHeight + kGap;
        row.clear();
        rowWidth = rowHeight = 0;
    };
    for (const Control& control : controls)
    {
        const int widthWith = rowWidth + (row.empty() ? 0 : kGap) + control.size.cx;
        if (!row.empty() && kMargin + widthWith + kMargin > maxWidth)
            closeRow();
        rowWidth += (row.empty() ? 0 : kGap) + control.size.cx;
        rowHeight = std::max(rowHeight, static_cast<int>(control.size.cy));
        row.push_back(control);
    }
    if (!row.empty())
        closeRow();
    return {kMargin + widest + kMargin, controls.empty() ? 0 : top - kGap + kMargin};
}
} // namespace

SIZE FlowBarControls(HWND bar, int maxWidth)
{
    const SIZE size = Flow(bar, maxWidth, true);
    ::SetWindowPos(bar, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return size;
}

SIZE MeasureBarFlow(HWND bar, int maxWidth)
{
    return Flow(bar, maxWidth, false);
}

int WidestBarControl(HWND bar)
{
    int widest = 0;
    for (const Control& control : VisibleControls(bar))
        widest = std::max(widest, static_cast<int>(control.size.cx));
    return kMargin + widest + kMargin;
}
