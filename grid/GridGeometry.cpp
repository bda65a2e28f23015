// Cell geometry: the top-left scrolled cell, the cell under a point, cell origins and rectangles,
// the visible ranges, divider hit tests, scrolling a cell into view, and the selected range.
#include "grid/GridCtrl.h"

CCellID CGridCtrl::GetTopleftNonFixedCell(BOOL forceRecalculation)
{
    if (m_idTopLeftCell.IsValid() && !forceRecalculation)
        return m_idTopLeftCell;
    int hPos = GetScrollPos32(SB_HORZ);
    int vPos = GetScrollPos32(SB_VERT);

    m_idTopLeftCell.col = m_nFixedCols;
    int x = 0;
    while (x < hPos && m_idTopLeftCell.col < m_nCols - 1)
        x += GetColumnWidth(m_idTopLeftCell.col++);

    m_idTopLeftCell.row = m_nFixedRows;
    int y = 0;
    while (y < vPos && m_idTopLeftCell.row < m_nRows - 1)
        y += GetRowHeight(m_idTopLeftCell.row++);
    return m_idTopLeftCell;
}

int CGridCtrl::IndexAtCoordinate(int coordinate, bool rows, int firstNonFixed, BOOL allowFixed) const
{
    auto size = [this, rows](int index) { return rows ? GetRowHeight(index) : GetColumnWidth(index); };
    int count = rows ? m_nRows : m_nCols;
    int fixedCount = rows ? m_nFixedRows : m_nFixedCols;
    int fixedExtent = rows ? GetFixedRowHeight() : GetFixedColumnWidth();
    if (coordinate < 0)
        return -1;
    // The index where the running sum of sizes first exceeds the coordinate.
    int edge = 0;
    int index = 0;
    int end = fixedCount;
    if (coordinate < fixedExtent)
    {
        if (!allowFixed)
            return -1;
    }
    else
    {
        edge = fixedExtent;
        index = firstNonFixed;
        end = count;
    }
    for (; index >= 0 && index < end; index++)
    {
        edge += size(index);
        if (edge > coordinate)
            return index;
    }
    return -1;
}

CCellID CGridCtrl::GetCellFromPt(CPoint point, BOOL allowFixedCellCheck)
{
    CCellID topLeft = GetTopleftNonFixedCell();
    if (!allowFixedCellCheck && !topLeft.IsValid())
        return CCellID();
    return CCellID(IndexAtCoordinate(point.y, true, topLeft.row, allowFixedCellCheck),
                   IndexAtCoordinate(point.x, false, topLeft.col, allowFixedCellCheck));
}

// Where a row (column) starts: after the fixed ones before it, or after all fixed ones and the
// scrolled rows (columns) from the first shown one.
int CGridCtrl::OffsetOf(int index, bool rows, int firstNonFixed) const
{
    auto size = [this, rows](int i) { return rows ? GetRowHeight(i) : GetColumnWidth(i); };
    int fixedCount = rows ? m_nFixedRows : m_nFixedCols;
    int offset = 0;
    if (index < fixedCount)
    {
        for (int i = 0; i < index; i++)
            offset += size(i);
        return offset;
    }
    for (int i = 0; i < fixedCount; i++)
        offset += size(i);
    for (int i = firstNonFixed; i < index; i++)
        offset += size(i);
    return offset;
}

BOOL CGridCtrl::GetCellOrigin(int nRow, int nCol, LPPOINT p)
{
    CCellID topLeft;
    if (!IsShownAtAll(nRow, nCol, topLeft))
        return FALSE;
    p->x = OffsetOf(nCol, false, topLeft.col);
    p->y = OffsetOf(nRow, true, topLeft.row);
    return TRUE;
}

// A cell inside the grid that is not scrolled out to the left or above; gives the top-left cell.
bool CGridCtrl::IsShownAtAll(int nRow, int nCol, CCellID& topLeft)
{
    if (!IsValid(nRow, nCol))
        return false;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
        topLeft = GetTopleftNonFixedCell();
    if (nCol >= m_nFixedCols && nCol < topLeft.col)
        return false;
    if (nRow >= m_nFixedRows && nRow < topLeft.row)
        return false;
    return true;
}

BOOL CGridCtrl::GetCellRect(int nRow, int nCol, LPRECT rect)
{
    CPoint origin;
    if (!GetCellOrigin(nRow, nCol, &origin))
        return FALSE;
    rect->left = origin.x;
    rect->top = origin.y;
    rect->right = origin.x + GetColumnWidth(nCol) - 1;
    rect->bottom = origin.y + GetRowHeight(nRow) - 1;
    return TRUE;
}

int CGridCtrl::LastIndexWithin(bool rows, int first, int end, int start, int limit, int& reached) const
{
    int edge = start;
    int index = first;
    for (; index < end; index++)
    {
        edge += rows ? GetRowHeight(index) : GetColumnWidth(index);
        if (edge >= limit)
        {
            edge = limit;
            break;
        }
    }
    reached = edge;
    return index < end ? index : end - 1;
}

CCellRange CGridCtrl::GetVisibleNonFixedCellRange(LPRECT rect, BOOL forceRecalculation)
{
    CRect client;
    GetClientRect(client);
    CCellID topLeft = GetTopleftNonFixedCell(forceRecalculation);
    int bottom = 0, right = 0;
    int maxRow = LastIndexWithin(true, topLeft.row, m_nRows, GetFixedRowHeight(), client.bottom, bottom);
    int maxCol = LastIndexWithin(false, topLeft.col, m_nCols, GetFixedColumnWidth(), client.right, right);
    if (rect)
        ::SetRect(rect, 0, 0, right, bottom);
    return CCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

CCellRange CGridCtrl::GetVisibleFixedCellRange(LPRECT rect, BOOL forceRecalculation)
{
    CRect client;
    GetClientRect(client);
    CCellID topLeft = GetTopleftNonFixedCell(forceRecalculation);
    int bottom = 0, right = 0;
    int maxRow = LastIndexWithin(true, topLeft.row, m_nRows, GetFixedRowHeight(), client.bottom, bottom);
    int maxCol = LastIndexWithin(false, 0, m_nFixedCols, 0, client.right, right);
    if (rect)
        ::SetRect(rect, 0, 0, right, bottom);
    return CCellRange(topLeft.row, 0, maxRow, maxCol);
}

BOOL CGridCtrl::IsCellVisible(int nRow, int nCol)
{
    CCellID topLeft;
    if (!::IsWindow(GetSafeHwnd()) || !IsShownAtAll(nRow, nCol, topLeft))
        return FALSE;
    // Visible when the cell starts inside the client area (it may be cut off at the far edges).
    CRect client;
    GetClientRect(client);
    if (OffsetOf(nCol, false, topLeft.col) >= client.right || OffsetOf(nRow, true, topLeft.row) >= client.bottom)
        return FALSE;
    return TRUE;
}

BOOL CGridCtrl::InvalidateCellRect(int row, int col)
{
    if (!::IsWindow(GetSafeHwnd()) || !m_bAllowDraw || !IsValid(row, col))
        return FALSE;
    if (!IsCellVisible(row, col))
        return FALSE;
    CRect rect;
    if (!GetCellRect(row, col, rect))
        return FALSE;
    rect.right++;
    rect.bottom++;
    InvalidateRect(rect, TRUE);
    return TRUE;
}

// Over the fixed columns (for rows) or the fixed rows (for columns): whether the point lies within the
// capture range of a divider; the first row's top and the first column's left edge are none.
bool CGridCtrl::MouseOverResizeArea(const CPoint& point, bool rows)
{
    if ((rows ? point.x : point.y) >= (rows ? GetFixedColumnWidth() : GetFixedRowHeight()))
        return false;
    CCellID cell = GetCellFromPt(point);
    CPoint origin;
    // A point over no cell has no divider to drag.
    if (!IsValid(cell) || !GetCellOrigin(cell, &origin))
        return false;
    int index = rows ? cell.row : cell.col;
    int start = rows ? origin.y : origin.x;
    int at = rows ? point.y : point.x;
    int end = start + (rows ? GetRowHeight(index) : GetColumnWidth(index));
    return (at - start < m_nResizeCaptureRange && index != 0) || end - at < m_nResizeCaptureRange;
}

BOOL CGridCtrl::MouseOverRowResizeArea(CPoint& point)
{
    return MouseOverResizeArea(point, true);
}

BOOL CGridCtrl::MouseOverColumnResizeArea(CPoint& point)
{
    return MouseOverResizeArea(point, false);
}

void CGridCtrl::EnsureVisible(int nRow, int nCol)
{
    if (!m_bAllowDraw || !IsValid(nRow, nCol))
        return;
    HWND focus = ::GetFocus();

    CCellRange visible = GetVisibleNonFixedCellRange();
    int right = nCol - visible.GetMaxCol();
    int left = visible.GetMinCol() - nCol;
    int down = nRow - visible.GetMaxRow();
    int up = visible.GetMinRow() - nRow;

    for (int col = visible.GetMaxCol() + 1; right > 0 && col <= nCol; col++, right--)
        if (GetColumnWidth(col) > 0)
            SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    for (int col = visible.GetMinCol() - 1; left > 0 && col >= nCol; col--, left--)
        if (GetColumnWidth(col) > 0)
            SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
    for (int row = visible.GetMaxRow() + 1; down > 0 && row <= nRow; row++, down--)
        if (GetRowHeight(row) > 0)
            SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    for (int row = visible.GetMinRow() - 1; up > 0 && row >= nRow; row--, up--)
        if (GetRowHeight(row) > 0)
            SendMessage(WM_VSCROLL, SB_LINEUP, 0);

    // A cell cut off at the right or bottom edge is scrolled on while scrolling still moves.
    CRect client;
    GetClientRect(client);
    CRect rect;
    while (GetCellRect(nRow, nCol, rect) && rect.right > client.right && rect.left > GetFixedColumnWidth()
           && IsVisibleHScroll())
    {
        int before = GetScrollPos32(SB_HORZ);
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        if (GetScrollPos32(SB_HORZ) == before)
            break;
    }
    while (GetCellRect(nRow, nCol, rect) && rect.bottom > client.bottom && rect.top > GetFixedRowHeight()
           && IsVisibleVScroll())
    {
        int before = GetScrollPos32(SB_VERT);
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        if (GetScrollPos32(SB_VERT) == before)
            break;
    }
    if (focus)
        ::SetFocus(focus);
}

CCellRange CGridCtrl::GetSelectedCellRange() const
{
    CCellRange range(m_nRows, m_nCols, -1, -1);
    POSITION pos = m_SelectedCellMap.GetStartPosition();
    while (pos)
    {
        SelectedCellKey key;
        CCellID cell;
        m_SelectedCellMap.GetNextAssoc(pos, key, cell);
        if (cell.row < range.GetMinRow())
            range.SetMinRow(cell.row);
        if (cell.col < range.GetMinCol())
            range.SetMinCol(cell.col);
        if (cell.row > range.GetMaxRow())
            range.SetMaxRow(cell.row);
        if (cell.col > range.GetMaxCol())
            range.SetMaxCol(cell.col);
    }
    return range;
}

void CGridCtrl::ResetSelectedRange()
{
    m_PrevSelectedCellMap.RemoveAll();
    SetSelectedRange(-1, -1, -1, -1, FALSE, TRUE);
    SetFocusCell(-1, -1);
}
