// Row layout of labelled controls.
#include "pages/CollectionsLayout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
const int kLabelGap = 4;  // between a label and its control
const int kGroupGap = 12; // between neighbouring groups in a row
const int kRowGap = 4;    // between rows

struct Group
{
    HWND label;
    HWND control;
    SIZE labelSize;
    SIZE controlSize;
    bool resize; // the control takes controlSize; else it keeps its size (a combo box's includes its list)
    int Width() const { return (label ? labelSize.cx + kLabelGap : 0) + controlSize.cx; }
    int Height() const { return std::max(label ? labelSize.cy : 0L, controlSize.cy); }
};

SIZE WindowSize(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE TextExtent(HDC dc, HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    return extent;
}

// A check box or a push button: sized to its caption.
bool IsCaptionedButton(HWND window)
{
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(className, L"Button") == 0 &&
           (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The groups to place, with the sizes they will have.
std::vector<Group> MeasureGroups(HWND parent, const LabelledControl* groups, size_t count)
{
    HDC dc = ::GetDC(parent);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)));
    std::vector<Group> measured;
    for (size_t i = 0; i < count; ++i) {
        HWND control = ::GetDlgItem(parent, static_cast<int>(groups[i].control));
        if (!control || !(::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) continue;
        Group group = {};
        group.control = control;
        group.controlSize = WindowSize(control);
        if (IsCaptionedButton(control)) {
            // The box (or a push button's edges), a gap as wide as two blanks, and the caption.
            const SIZE text = TextExtent(dc, control);
            SIZE blank = {0, 0};
            ::GetTextExtentPoint32W(dc, L"  ", 2, &blank);
            group.controlSize.cx = ::GetSystemMetrics(SM_CXMENUCHECK) + blank.cx + text.cx;
            group.controlSize.cy = std::max(group.controlSize.cy, text.cy + 2);
            group.resize = true;
        }
        if (groups[i].label) group.label = ::GetDlgItem(parent, static_cast<int>(groups[i].label));
        if (group.label) {
            group.labelSize = TextExtent(dc, group.label);
            group.labelSize.cx += 1; // the extent is exact; one pixel spare against rounding
        }
        measured.push_back(group);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(parent, dc);
    return measured;
}

void PlaceRow(const std::vector<Group>& row, int left, int top, int height)
{
    int x = left;
    for (const Group& group : row) {
        if (group.label) {
            ::SetWindowPos(group.label, nullptr, x, top + (height - group.labelSize.cy) / 2, group.labelSize.cx,
                           group.labelSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
            x += group.labelSize.cx + kLabelGap;
        }
        ::SetWindowPos(group.control, nullptr, x, top + (height - group.controlSize.cy) / 2, group.controlSize.cx,
                       group.controlSize.cy, SWP_NOZORDER | SWP_NOACTIVATE | (group.resize ? 0 : SWP_NOSIZE));
        x += group.controlSize.cx + kGroupGap;
    }
}

// Flows the groups into rows (placing them when place is set); returns the last row's bottom.
int Flow(HWND parent, const LabelledControl* groups, size_t count, int left, int top, int width, bool place)
{
    const std::vector<Group> measured = MeasureGroups(parent, groups, count);
    std::vector<Group> row;
    int rowWidth = 0, rowHeight = 0, y = top, bottom = top;
    auto closeRow = [&]() {
        if (place) PlaceRow(row, left, y, rowHeight);
        bottom = y + rowHeight;
        y = bottom + kRowGap;
        row.clear();
        rowWidth = rowHeight = 0;
    };
    for (const Group& group : measured) {
        const int widthWith = rowWidth + (row.empty() ? 0 : kGroupGap) + group.Width();
        if (!row.empty() && widthWith > width) closeRow();
        rowWidth += (row.empty() ? 0 : kGroupGap) + group.Width();
        rowHeight = std::max(rowHeight, group.Height());
        row.push_back(group);
    }
    if (!row.empty()) closeRow();
    return bottom;
}
} // namespace

int FlowLabelledControls(HWND parent, const LabelledControl* groups, size_t count, int left, int top, int width)
{
    return Flow(parent, groups, count, left, top, width, true);
}

int LabelledRowsBottom(HWND parent, const LabelledControl* groups, size_t count, int top, int width)
{
    return Flow(parent, groups, count, 0, top, width, false);
}

int WidestLabelledControl(HWND parent, const LabelledControl* groups, size_t count)
{
    int widest = 0;
    for (const Group& group : MeasureGroups(parent, groups, count)) widest = std::max(widest, group.Width());
    return widest;
}
