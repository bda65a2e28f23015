// Painting the grid (double-buffered, in the fixed order corner, fixed columns, fixed rows, cells,
// grid lines), redrawing one cell, and the scroll bars with their handlers.
#include "grid/GridCtrl.h"
#include "grid/MemDC.h"
#include <algorithm>
#include <iterator>

namespace {

bool g_sizing = false;   // one OnSize at a time across all grids

void FillWithBrush(HDC hdc, int left, int top, int right, int bottom, HBRUSH brush)
{
    RECT rect = {left, top, right, bottom};
    ::FillRect(hdc, &rect, brush);
}

// After the scroll position changed by a few rows (columns), moves the pixels of the cells still shown
// to their new place and invalidates only the strip that comes into view; a paint of the whole area
// is the slowest part of scrolling. The shift is the sizes of the rows (columns) between the old and
// the new first shown one, since painting puts the first shown one at the edge of the fixed ones.
void ShiftShownCells(CGridCtrl& grid, bool vertical, int oldFirst, const CRect& area, bool drawing)
{
    CCellID topLeft = grid.GetTopleftNonFixedCell(TRUE);
    int newFirst = vertical ? topLeft.row : topLeft.col;
    int shift = 0;
    for (int i = std::min(oldFirst, newFirst); i < std::max(oldFirst, newFirst); i++)
        shift += vertical ? grid.GetRowHeight(i) : grid.GetColumnWidth(i);
    if (newFirst > oldFirst)
        shift = -shift;
    int extent = vertical ? area.Height() : area.Width();
    if (shift == 0 || shift >= extent || -shift >= extent || !drawing)
    {
        grid.InvalidateRect(area);
        return;
    }
    ::ScrollWindowEx(grid.GetSafeHwnd(), vertical ? 0 : shift, vertical ? shift : 0, &area, &area, nullptr, nullptr,
                     SW_INVALIDATE);
}

// Whether a scroll bar looks the same in both states: its place, its thumb and the state of its
// parts.
bool SameScrollBarPicture(const SCROLLBARINFO& a, const SCROLLBARINFO& b)
{
    return ::EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton
           && a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom
           && std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

} // namespace

void CGridCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (m_bDoubleBuffer)
    {
        CMemDC memDC(&dc, &m_paintBuffer);
        OnDraw(&memDC);
    }
    else
    {
        OnDraw(&dc);
    }
}

void CGridCtrl::EraseBkgnd(CDC* pDC)
{
    HDC hdc = pDC->GetSafeHdc();
    CRect clip;
    if (::GetClipBox(hdc, &clip) == ERROR)
        return;
    CRect visible;
    GetVisibleNonFixedCellRange(visible);

    HBRUSH corner = ::CreateSolidBrush(m_cellFixedRowColDef.GetBackClr());
    HBRUSH fixedRow = ::CreateSolidBrush(m_cellFixedRowDef.GetBackClr());
    HBRUSH fixedCol = ::CreateSolidBrush(m_cellFixedColDef.GetBackClr());
    HBRUSH normal = ::CreateSolidBrush(m_cellDefault.GetBackClr());
    HBRUSH background = ::CreateSolidBrush(m_crGridBkColour);

    int fixedWidth = GetFixedColumnWidth();
    int fixedHeight = GetFixedRowHeight();
    if (clip.left < fixedWidth && clip.top < fixedHeight)
        FillWithBrush(hdc, clip.left, clip.top, fixedWidth, fixedHeight, corner);
    if (clip.left < fixedWidth && clip.top < visible.bottom)
        FillWithBrush(hdc, clip.left, clip.top, fixedWidth, visible.bottom, fixedCol);
    if (clip.top < fixedHeight && clip.right > fixedWidth && clip.left < visible.right)
        FillWithBrush(hdc, fixedWidth - 1, clip.top, visible.right, fixedHeight, fixedRow);
    CRect both;
    if (both.IntersectRect(visible, clip))
    {
        FillWithBrush(hdc, both.left > fixedWidth ? both.left : fixedWidth,
                      both.top > fixedHeight ? both.top : fixedHeight, both.right, both.bottom, normal);
    }
    if (visible.right < clip.right)
        FillWithBrush(hdc, visible.right, clip.top, clip.right, clip.bottom, background);
    if (visible.bottom < clip.bottom && clip.left < visible.right)
        FillWithBrush(hdc, clip.left, visible.bottom, visible.right, clip.bottom, background);

    ::DeleteObject(corner);
    ::DeleteObject(fixedRow);
    ::DeleteObject(fixedCol);
    ::DeleteObject(normal);
    ::DeleteObject(background);
}

// Draws the cells of a block of rows and columns from the pixel (left, top), skipping hidden rows and
// columns and, with a clip box, those outside it.
void CGridCtrl::DrawCellBlock(CDC* pDC, int firstRow, int lastRow, int firstCol, int lastCol, int top, int left,
                              const RECT* clip)
{
    // The cells of a block are mostly of one kind: their common attributes are set once for all (on
    // a printer, where cells keep the DC's font, only the background mode).
    CellPaintRun run(pDC->GetSafeHdc(),
                     pDC->IsPrinting() ? nullptr : GetDefaultCell(firstRow < m_nFixedRows, firstCol < m_nFixedCols));
    CRect rect;
    rect.bottom = top - 1;
    for (int row = firstRow; row <= lastRow; row++)
    {
        if (GetRowHeight(row) <= 0)
            continue;
        rect.top = rect.bottom + 1;
        rect.bottom = rect.top + GetRowHeight(row) - 1;
        if (clip && rect.top > clip->bottom)
            break;
        if (clip && rect.bottom < clip->top)
            continue;
        rect.right = left - 1;
        for (int col = firstCol; col <= lastCol; col++)
        {
            if (GetColumnWidth(col) <= 0)
                continue;
            rect.left = rect.right + 1;
            rect.right = rect.left + GetColumnWidth(col) - 1;
            if (clip && rect.left > clip->right)
                break;
            if (clip && rect.right < clip->left)
                continue;
            if (CGridCellBase* cell = GetCell(row, col))
            {
                cell->SetCoords(row, col);
                cell->Draw(pDC, row, col, rect, FALSE);
            }
        }
    }
}

void CGridCtrl::OnDraw(CDC* pDC)
{
    if (!m_bAllowDraw)
        return;
    HDC hdc = pDC->GetSafeHdc();
    CRect clip;
    if (::GetClipBox(hdc, &clip) == ERROR)
        return;
    EraseBkgnd(pDC);

    int fixedHeight = GetFixedRowHeight();
    int fixedWidth = GetFixedColumnWidth();
    CCellID topLeft = GetTopleftNonFixedCell();
    CRect visible;
    CCellRange range = GetVisibleNonFixedCellRange(visible);
    int minRow = topLeft.row, minCol = topLeft.col;
    int maxRow = range.GetMaxRow(), maxCol = range.GetMaxCol();
    if (m_bVirtualMode)
        SendCacheHintToParent(range);

    // Pass 1: the corner; 2: the fixed columns of the visible rows; 3: the fixed rows of the visible
    // columns; 4: the visible non-fixed cells.
    DrawCellBlock(pDC, 0, m_nFixedRows - 1, 0, m_nFixedCols - 1, 0, 0, nullptr);
    DrawCellBlock(pDC, minRow, maxRow, 0, m_nFixedCols - 1, fixedHeight, 0, &clip);
    DrawCellBlock(pDC, 0, m_nFixedRows - 1, minCol, maxCol, 0, fixedWidth, &clip);
    DrawCellBlock(pDC, minRow, maxRow, minCol, maxCol, fixedHeight, fixedWidth, &clip);

    // Grid lines over the non-fixed area.
    HPEN pen = ::CreatePen(PS_SOLID, 0, m_crGridLineColour);
    HGDIOBJ oldPen = ::SelectObject(hdc, pen);
    if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_VERT)
    {
        int x = fixedWidth;
        for (int col = minCol; col <= maxCol; col++)
        {
            if (GetColumnWidth(col) <= 0)
                continue;
            x += GetColumnWidth(col);
            ::MoveToEx(hdc, x - 1, fixedHeight, nullptr);
            ::LineTo(hdc, x - 1, visible.bottom);
        }
    }
    if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_HORZ)
    {
        int y = fixedHeight;
        for (int row = minRow; row <= maxRow; row++)
        {
            if (GetRowHeight(row) <= 0)
                continue;
            y += GetRowHeight(row);
            ::MoveToEx(hdc, fixedWidth, y - 1, nullptr);
            ::LineTo(hdc, visible.right, y - 1);
        }
    }
    ::SelectObject(hdc, oldPen);
    ::DeleteObject(pen);
    ::SelectObject(hdc, ::GetStockObject(NULL_PEN));
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(-1, -1, -1, -1));
}

BOOL CGridCtrl::RedrawCell(int nRow, int nCol, CDC* pDC)
{
    if (!m_bAllowDraw || !IsCellVisible(nRow, nCol))
        return FALSE;
    CRect rect;
    if (!GetCellRect(nRow, nCol, rect))
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;

    bool ownDC = false;
    if (!pDC)
    {
        pDC = GetDC();
        ownDC = pDC != nullptr;
    }
    if (!pDC)
    {
        rect.right++;
        rect.bottom++;
        InvalidateRect(rect, TRUE);
        return TRUE;
    }

    BOOL drawn = cell->Draw(pDC, nRow, nCol, rect, TRUE);
    if (!cell->IsFixed())
    {
        HDC hdc = pDC->GetSafeHdc();
        HPEN pen = ::CreatePen(PS_SOLID, 0, m_crGridLineColour);
        HGDIOBJ oldPen = ::SelectObject(hdc, pen);
        if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_HORZ)
        {
            ::MoveToEx(hdc, rect.left, rect.bottom, nullptr);
            ::LineTo(hdc, rect.right + 1, rect.bottom);
        }
        if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_VERT)
        {
            ::MoveToEx(hdc, rect.right, rect.top, nullptr);
            ::LineTo(hdc, rect.right, rect.bottom + 1);
        }
        ::SelectObject(hdc, oldPen);
        ::DeleteObject(pen);
    }
    if (ownDC)
        ReleaseDC(pDC);
    return drawn;
}

// ---- Scroll bars -----------------------------------------------------------------------------

int CGridCtrl::GetScrollPos32(int nBar, BOOL getTrackPos)
{
    if (!GetSafeHwnd())
        return 0;
    SCROLLINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = getTrackPos ? SIF_TRACKPOS : SIF_POS;
    if (!::GetScrollInfo(m_hWnd, nBar, &info))
        return 0;
    return getTrackPos ? info.nTrackPos : info.nPos;
}

BOOL CGridCtrl::SetScrollPos32(int nBar, int nPos, BOOL redraw)
{
    m_idTopLeftCell.row = -1;
    if (!GetSafeHwnd())
        return FALSE;
    SCROLLINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = nPos;
    // A redraw of the bar costs more than painting the cells; a step of a row or column mostly
    // leaves the thumb on the same pixels, and then the bar is not drawn again.
    LONG object = nBar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
    SCROLLBARINFO before = {}, after = {};
    before.cbSize = after.cbSize = sizeof(SCROLLBARINFO);
    bool known = redraw && nBar != SB_CTL && ::IsWindowVisible(m_hWnd) && ::GetScrollBarInfo(m_hWnd, object, &before);
    ::SetScrollInfo(m_hWnd, nBar, &info, redraw && !known);
    if (known && (!::GetScrollBarInfo(m_hWnd, object, &after) || !SameScrollBarPicture(before, after)))
        ::SetScrollInfo(m_hWnd, nBar, &info, TRUE);
    return TRUE;
}

void CGridCtrl::EnableScrollBars(int nBar, BOOL enable)
{
    if (!GetSafeHwnd())
        return;
    if (enable)
    {
        if (!IsVisibleHScroll() && (nBar == SB_HORZ || nBar == SB_BOTH))
        {
            m_nBarState |= 1;
            ::ShowScrollBar(m_hWnd, SB_HORZ, TRUE);
        }
        if (!IsVisibleVScroll() && (nBar == SB_VERT || nBar == SB_BOTH))
        {
            m_nBarState |= 2;
            ::ShowScrollBar(m_hWnd, SB_VERT, TRUE);
        }
    }
    else
    {
        if (IsVisibleHScroll() && (nBar == SB_HORZ || nBar == SB_BOTH))
        {
            m_nBarState &= ~1;
            ::ShowScrollBar(m_hWnd, SB_HORZ, FALSE);
        }
        if (IsVisibleVScroll() && (nBar == SB_VERT || nBar == SB_BOTH))
        {
            m_nBarState &= ~2;
            ::ShowScrollBar(m_hWnd, SB_VERT, FALSE);
        }
    }
}

void CGridCtrl::ResetScrollBars()
{
    m_idTopLeftCell.row = -1;
    if (!m_bAllowDraw || !::IsWindow(GetSafeHwnd()))
        return;
    CRect rect;
    GetClientRect(rect);
    if (rect.IsRectEmpty())
        return;

    if (IsVisibleVScroll())
        rect.right += ::GetSystemMetrics(SM_CXVSCROLL) + ::GetSystemMetrics(SM_CXBORDER);
    if (IsVisibleHScroll())
        rect.bottom += ::GetSystemMetrics(SM_CYHSCROLL) + ::GetSystemMetrics(SM_CYBORDER);
    rect.left += GetFixedColumnWidth();
    rect.top += GetFixedRowHeight();
    if (rect.left >= rect.right || rect.top >= rect.bottom)
    {
        EnableScrollBars(SB_BOTH, FALSE);
        ::ShowScrollBar(m_hWnd, SB_BOTH, FALSE);
        return;
    }

    CRect visible(GetFixedColumnWidth(), GetFixedRowHeight(), rect.right, rect.bottom);
    CRect virtualRect(GetFixedColumnWidth(), GetFixedRowHeight(), GetVirtualWidth(), GetVirtualHeight());
    if (visible.Height() < virtualRect.Height())
        visible.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (visible.Width() < virtualRect.Width())
        visible.bottom -= ::GetSystemMetrics(SM_CYHSCROLL);

    if (visible.Height() < virtualRect.Height())
    {
        EnableScrollBars(SB_VERT, TRUE);
        m_nVScrollMax = virtualRect.Height() - 1;
    }
    else
    {
        EnableScrollBars(SB_VERT, FALSE);
        m_nVScrollMax = 0;
    }
    if (visible.Width() < virtualRect.Width())
    {
        EnableScrollBars(SB_HORZ, TRUE);
        m_nHScrollMax = virtualRect.Width() - 1;
    }
    else
    {
        EnableScrollBars(SB_HORZ, FALSE);
        m_nHScrollMax = 0;
    }

    SCROLLINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_PAGE | SIF_RANGE;
    info.nMin = 0;
    info.nMax = m_nHScrollMax;
    info.nPage = m_nHScrollMax > 0 ? visible.Width() : 0;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.fMask |= SIF_DISABLENOSCROLL;
    info.nMax = m_nVScrollMax;
    info.nPage = m_nVScrollMax > 0 ? visible.Height() : 0;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CGridCtrl::OnSize(UINT nType, int cx, int cy)
{
    if (g_sizing || !::IsWindow(GetSafeHwnd()))
        return;
    g_sizing = true;
    m_DropTarget.Register(this);
    EndEditing();
    CWnd::OnSize(nType, cx, cy);
    ResetScrollBars();
    g_sizing = false;
}

void CGridCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    ScrollAxis(SB_VERT, nSBCode);
}

void CGridCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    ScrollAxis(SB_HORZ, nSBCode);
}

// One scroll step on either bar: rows, heights and the fixed rows for SB_VERT, columns, widths and
// the fixed columns for SB_HORZ (the codes of the two bars have the same values).
void CGridCtrl::ScrollAxis(int bar, UINT code)
{
    EndEditing();
    m_TitleTip.Hide();
    bool vertical = bar == SB_VERT;
    auto size = [this, vertical](int index) { return vertical ? GetRowHeight(index) : GetColumnWidth(index); };
    int count = vertical ? m_nRows : m_nCols;
    int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
    int fixedExtent = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
    int maximum = vertical ? m_nVScrollMax : m_nHScrollMax;

    int pos = GetScrollPos32(bar);
    CCellID topLeft = GetTopleftNonFixedCell();
    int first = vertical ? topLeft.row : topLeft.col;
    CRect client;
    GetClientRect(client);
    CRect invalid = client;
    if (vertical)
        invalid.top = fixedExtent;
    else
        invalid.left = fixedExtent;
    int page = (vertical ? client.Height() : client.Width()) - fixedExtent;

    switch (code)
    {
    case SB_LINEDOWN:
        if (pos < maximum && first >= 0 && first < count)
        {
            int index = first;
            while (index < count - 1 && size(index) == 0)
                index++;
            SetScrollPos32(bar, pos + size(index));
            if (GetScrollPos32(bar) != pos)
                ShiftShownCells(*this, vertical, first, invalid, m_bAllowDraw != FALSE);
        }
        break;
    case SB_LINEUP:
        if (pos > 0 && first > fixedCount)
        {
            int index = first - 1;
            while (index > fixedCount && size(index) <= 0)
                index--;
            int step = size(index);
            SetScrollPos32(bar, pos - step > 0 ? pos - step : 0);
            ShiftShownCells(*this, vertical, first, invalid, m_bAllowDraw != FALSE);
        }
        break;
    case SB_PAGEDOWN:
        if (pos < maximum)
        {
            SetScrollPos32(bar, pos + page < maximum ? pos + page : maximum);
            InvalidateRect(invalid);
        }
        break;
    case SB_PAGEUP:
        if (pos > 0)
        {
            SetScrollPos32(bar, pos - page > 0 ? pos - page : 0);
            InvalidateRect(invalid);
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetScrollPos32(bar, GetScrollPos32(bar, TRUE));
        m_idTopLeftCell.row = -1;
        if (GetTopleftNonFixedCell() != topLeft)
            InvalidateRect(invalid);
        break;
    case SB_TOP:
        if (pos > 0)
        {
            SetScrollPos32(bar, 0);
            Invalidate();
        }
        break;
    case SB_BOTTOM:
        if (pos < maximum)
        {
            SetScrollPos32(bar, maximum);
            Invalidate();
        }
        break;
    default:
        break;
    }
}
