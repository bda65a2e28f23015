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

BOOL CGridCtrl::GetCellOrigin(int nRow, int nCol, LPPOINT p)
{
    if (!IsValid(nRow, nCol))
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
        topLeft = GetTopleftNonFixedCell();
    if (nCol >= m_nFixedCols && nCol < topLeft.col)
        return FALSE;
    if (nRow >= m_nFixedRows && nRow < topLeft.row)
        return FALSE;

    p->x = 0;
    if (nCol < m_nFixedCols)
    {
        for (int col = 0; col < nCol; col++)
            p->x += GetColumnWidth(col);
    }
    else
    {
        for (int col = 0; col < m_nFixedCols; col++)
            p->x += GetColumnWidth(col);
        for (int col = topLeft.col; col < nCol; col++)
            p->x += GetColumnWidth(col);
    }
    p->y = 0;
    if (nRow < m_nFixedRows)
    {
        for (int row = 0; row < nRow; row++)
            p->y += GetRowHeight(row);
    }
    else
    {
        for (int row = 0; row < m_nFixedRows; row++)
            p->y += GetRowHeight(row);
        for (int row = topLeft.row; row < nRow; row++)
            p->y += GetRowHeight(row);
    }
    return TRUE;
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
    if (!::IsWindow(GetSafeHwnd()) || !IsValid(nRow, nCol))
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
    {
        topLeft = GetTopleftNonFixedCell();
        if (nCol >= m_nFixedCols && nCol < topLeft.col)
            return FALSE;
        if (nRow >= m_nFixedRows && nRow < topLeft.row)
            return FALSE;
    }
    CRect client;
    GetClientRect(client);

    int x = 0;
    int firstCol = 0;
    if (nCol >= m_nFixedCols)
    {
        x = GetFixedColumnWidth();
        firstCol = topLeft.col;
    }
    for (int col = firstCol; col <= nCol; col++)
    {
        if (x >= client.right)
            return FALSE;
        x += GetColumnWidth(col);
    }
    int y = 0;
    int firstRow = 0;
    if (nRow >= m_nFixedRows)
    {
        y = GetFixedRowHeight();
        firstRow = topLeft.row;
    }
    for (int row = firstRow; row <= nRow; row++)
    {
        if (y >= client.bottom)
            return FALSE;
        y += GetRowHeight(row);
    }
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

BOOL CGridCtrl::MouseOverRowResizeArea(CPoint& point)
{
    if (point.x >= GetFixedColumnWidth())
        return FALSE;
    CCellID cell = GetCellFromPt(point);
    CPoint origin;
    // A point over no cell has no divider to drag.
    if (!IsValid(cell) || !GetCellOrigin(cell, &origin))
        return FALSE;
    int endY = origin.y + GetRowHeight(cell.row);
    if ((point.y - origin.y < m_nResizeCaptureRange && cell.row != 0) || endY - point.y < m_nResizeCaptureRange)
        return TRUE;
    return FALSE;
}

BOOL CGridCtrl::MouseOverColumnResizeArea(CPoint& point)
{
    if (point.y >= GetFixedRowHeight())
        return FALSE;
    CCellID cell = GetCellFromPt(point);
    CPoint origin;
    if (!IsValid(cell) || !GetCellOrigin(cell, &origin))
        return FALSE;
    int endX = origin.x + GetColumnWidth(cell.col);
    if ((point.x - origin.x < m_nResizeCaptureRange && cell.col != 0) || endX - point.x < m_nResizeCaptureRange)
        return TRUE;
    return FALSE;
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
        DWORD key;
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
