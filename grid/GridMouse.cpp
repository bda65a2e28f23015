// The mouse side of the grid: presses, moves and releases driving the mouse-mode state machine
// (selecting, sizing rows and columns, preparing an edit or a drag), header clicks, the wheel, the
// cursor, and the click notifications to the owner.
#include "grid/GridCtrl.h"

namespace {

const UINT_PTR SELECTION_TIMER = WM_LBUTTONDOWN;

void UseCursor(LPCWSTR id)
{
    ::SetCursor(::LoadCursorW(nullptr, id));
}

} // namespace

void CGridCtrl::InvertDividerLine(int x, int y, bool vertical)
{
    CRect client;
    GetClientRect(client);
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc)
        return;
    CRect line = vertical ? CRect(x, client.top, x + 2, client.bottom) : CRect(client.left, y, client.right, y + 2);
    ::InvertRect(hdc, &line);
    ::ReleaseDC(m_hWnd, hdc);
}

void CGridCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    m_CurCol = -1;
    m_bLMouseButtonDown = TRUE;
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (!IsValid(m_LeftClickDownCell))
        return;
    m_CurRow = m_LeftClickDownCell.row;

    if (nFlags & MK_SHIFT)
    {
        if (!IsValid(m_SelectionStartCell))
            m_SelectionStartCell = m_idCurrentCell;
    }
    else
    {
        m_SelectionStartCell = m_LeftClickDownCell;
    }
    EndEditing();

    bool inTextArea = false;
    if (CGridCellBase* cell = GetCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col))
    {
        CPoint origin;
        if (GetCellOrigin(m_LeftClickDownCell, &origin))
            cell->OnClickDown(CPoint(point.x - origin.x, point.y - origin.y));
        CRect rect;
        if (GetCellRect(m_LeftClickDownCell, rect) && cell->GetTextRect(rect))
            inTextArea = rect.PtInRect(point);
    }

    if (m_LeftClickDownCell == m_idCurrentCell && !(nFlags & MK_CONTROL) && inTextArea
        && IsCellEditable(m_LeftClickDownCell))
    {
        m_MouseMode = MOUSE_PREPARE_EDIT;
        return;
    }
    if (IsCellSelected(m_LeftClickDownCell))
        return;

    if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE)
    {
        if (m_LeftClickDownCell.row >= m_nFixedRows && m_LeftClickDownCell.col >= m_nFixedCols)
            SetFocusCell(m_LeftClickDownCell);
        else
            SetFocusCell(-1, -1);
    }
    SetCapture();

    if (m_MouseMode == MOUSE_NOTHING)
    {
        if (m_bAllowColumnResize && MouseOverColumnResizeArea(point))
        {
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
            UseCursor(IDC_SIZEWE);
        }
        else if (m_bAllowRowResize && MouseOverRowResizeArea(point))
        {
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
            UseCursor(IDC_SIZENS);
        }
    }

    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE)
    {
        BeginDividerDrag(point, false);
    }
    else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE)
    {
        BeginDividerDrag(point, true);
    }
    else
    {
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
        m_PrevSelectedCellMap.RemoveAll();
        if (nFlags & MK_CONTROL)
        {
            POSITION pos = m_SelectedCellMap.GetStartPosition();
            while (pos)
            {
                SelectedCellKey key;
                CCellID cell;
                m_SelectedCellMap.GetNextAssoc(pos, key, cell);
                m_PrevSelectedCellMap.SetAt(key, cell);
            }
        }
        if (m_LeftClickDownCell.row >= m_nFixedRows && m_LeftClickDownCell.col >= m_nFixedCols)
        {
            m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
            OnSelecting(m_LeftClickDownCell);
            m_nTimerID = SetTimer(SELECTION_TIMER, static_cast<UINT>(m_nTimerInterval));
        }
        else if (m_LeftClickDownCell.col < m_nFixedCols && m_LeftClickDownCell.row >= m_nFixedRows)
        {
            OnFixedColumnClick(m_LeftClickDownCell);
        }
        else if (m_LeftClickDownCell.row < m_nFixedRows)
        {
            OnFixedRowClick(m_LeftClickDownCell);
            if (m_AllowReorderColumn && m_LeftClickDownCell.col >= m_nFixedCols)
            {
                ResetSelectedRange();
                m_MouseMode = MOUSE_PREPARE_DRAG;
                m_CurCol = m_LeftClickDownCell.col;
            }
        }
    }
    m_LastMousePoint = point;
}

void CGridCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(client);
    if (m_MouseMode != MOUSE_DRAGGING && !client.PtInRect(point))
        return;

    if (m_bLMouseButtonDown && m_MouseMode != MOUSE_NOTHING)
    {
        if (!IsValid(m_LeftClickDownCell))
        {
            m_LastMousePoint = point;
            return;
        }
        switch (m_MouseMode)
        {
        case MOUSE_SELECT_COL:
        case MOUSE_SELECT_ROW:
        case MOUSE_SELECT_CELLS:
            {
                CCellID cell = GetCellFromPt(point);
                if (!IsValid(cell))
                    return;
                if (cell != m_idCurrentCell)
                {
                    OnSelecting(cell);
                    if ((cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) || m_MouseMode == MOUSE_SELECT_COL
                        || m_MouseMode == MOUSE_SELECT_ROW)
                        SetFocusCell(cell);
                }
            }
            break;
        case MOUSE_SIZING_ROW:
            InvertDividerLine(0, m_LastMousePoint.y, false);
            InvertDividerLine(0, point.y, false);
            break;
        case MOUSE_SIZING_COL:
            InvertDividerLine(m_LastMousePoint.x, 0, true);
            InvertDividerLine(point.x, 0, true);
            break;
        case MOUSE_PREPARE_EDIT:
        case MOUSE_PREPARE_DRAG:
            m_MouseMode = MOUSE_PREPARE_DRAG;
            OnBeginDrag();
            break;
        default:
            break;
        }
        m_LastMousePoint = point;
        return;
    }

    // Hovering.
    if (m_bAllowColumnResize && MouseOverColumnResizeArea(point))
    {
        if (m_MouseMode != MOUSE_OVER_COL_DIVIDE)
        {
            UseCursor(IDC_SIZEWE);
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        }
    }
    else if (m_bAllowRowResize && MouseOverRowResizeArea(point))
    {
        if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE)
        {
            UseCursor(IDC_SIZENS);
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    }
    else if (m_MouseMode != MOUSE_NOTHING)
    {
        UseCursor(IDC_ARROW);
        m_MouseMode = MOUSE_NOTHING;
    }

    if (m_MouseMode == MOUSE_NOTHING && !(m_bVirtualMode && !m_bTitleTips))
    {
        CCellID id = GetCellFromPt(point);
        CGridCellBase* cell = IsValid(id) ? GetCell(id.row, id.col) : nullptr;
        if (cell)
        {
            cell->OnMouseOver();
            LPCTSTR tip = cell->GetTipText();
            if (m_bTitleTips && tip && *tip && !cell->IsEditing())
            {
                CRect cellRect, tipRect;
                if (GetCellRect(id, cellRect))
                {
                    tipRect = cellRect;
                    cell->GetTipTextRect(tipRect);
                    m_TitleTip.Show(tipRect, tip, 0, cellRect, cell->GetFont(), GetTitleTipTextClr(),
                                    GetTitleTipBackClr());
                }
            }
        }
    }
    m_LastMousePoint = point;
}

// The press on a divider: sizing starts for the column left of it (the row above it), with an
// inverted line at the point and the cursor kept inside the area the size can reach.
void CGridCtrl::BeginDividerDrag(CPoint point, bool rows)
{
    m_MouseMode = rows ? MOUSE_SIZING_ROW : MOUSE_SIZING_COL;
    auto size = [this, rows](int index) { return rows ? GetRowHeight(index) : GetColumnWidth(index); };
    int& index = rows ? m_LeftClickDownCell.row : m_LeftClickDownCell.col;
    int at = rows ? point.y : point.x;
    CRect visible;
    GetVisibleNonFixedCellRange(visible);
    int last = (rows ? m_nRows : m_nCols) - 1;
    bool narrowLast = size(last) < m_nResizeCaptureRange;
    if (narrowLast && abs(at - (rows ? visible.bottom : visible.right)) < m_nResizeCaptureRange)
        index = last;
    CPoint start;
    if (!GetCellOrigin(rows ? index : 0, rows ? 0 : index, &start))
        return;
    InvertDividerLine(point.x, point.y, !rows);
    if (at - (rows ? start.y : start.x) < m_nResizeCaptureRange && index > 0 && !(index == last && narrowLast))
    {
        // Near the leading edge: the previous row or column is the one being sized.
        --index;
        if (!GetCellOrigin(rows ? index : 0, rows ? 0 : index, &start))
            return;
    }
    CRect client;
    GetClientRect(client);
    CRect confine = rows ? CRect(client.left, start.y + 1, client.right, start.y + 1 + client.Height() - GetFixedRowHeight())
                         : CRect(start.x + 1, client.top, start.x + 1 + client.Width() - GetFixedColumnWidth(), client.bottom);
    ClientToScreen(confine);
    ::ClipCursor(&confine);
}

// The release of a divider drag: the line is erased and, unless the mouse came back to where it was
// pressed, the row or column gets the size from its start to the point.
void CGridCtrl::EndDividerDrag(CPoint point, bool rows)
{
    InvertDividerLine(m_LastMousePoint.x, m_LastMousePoint.y, !rows);
    CPoint start;
    if (m_LeftClickDownPoint == point || !GetCellOrigin(m_LeftClickDownCell, &start))
        return;
    int size = rows ? point.y - start.y : point.x - start.x;
    int least = (rows ? m_bAllowRowHide : m_bAllowColHide) ? 0 : 1;
    if (rows)
        SetRowHeight(m_LeftClickDownCell.row, size < least ? least : size);
    else
        SetColumnWidth(m_LeftClickDownCell.col, size < least ? least : size);
    ResetScrollBars();
    Invalidate();
}

void CGridCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonUp(nFlags, point);
    m_bLMouseButtonDown = FALSE;
    ::ClipCursor(nullptr);
    if (::GetCapture() == m_hWnd)
    {
        ::ReleaseCapture();
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }

    CPoint focusOrigin;
    CPoint relative(-1, -1);
    if (IsValid(m_idCurrentCell) && GetCellOrigin(m_idCurrentCell, &focusOrigin))
        relative = CPoint(point.x - focusOrigin.x, point.y - focusOrigin.y);
    // The focus cell's own click hook runs only when there is a focus cell.
    auto focusCellClick = [this, relative]() {
        if (CGridCellBase* cell = IsValid(m_idCurrentCell) ? GetCell(m_idCurrentCell.row, m_idCurrentCell.col) : nullptr)
            cell->OnClick(relative);
    };

    switch (m_MouseMode)
    {
    case MOUSE_PREPARE_EDIT:
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, relative, VK_LBUTTON);
        break;
    case MOUSE_PREPARE_DRAG:
        focusCellClick();
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
        ResetSelectedRange();
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
        break;
    case MOUSE_SIZING_COL:
        EndDividerDrag(point, false);
        break;
    case MOUSE_SIZING_ROW:
        EndDividerDrag(point, true);
        break;
    default:
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
        focusCellClick();
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        break;
    }

    m_MouseMode = MOUSE_NOTHING;
    UseCursor(IDC_ARROW);
    if (IsValid(m_LeftClickDownCell))
    {
        CWnd* owner = GetOwner();
        if (owner && ::IsWindow(owner->GetSafeHwnd()))
            ::PostMessageW(owner->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                           reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CGridCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell))
        return;

    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE)
    {
        CPoint start;
        if (!GetCellOrigin(0, cell.col, &start))
            return;
        int col = cell.col;
        if (point.x - start.x < m_nResizeCaptureRange)
            col--;
        while (col >= 0 && GetColumnWidth(col) <= 0)
            col--;
        if (col < 0)
            return;
        AutoSizeColumn(col, static_cast<UINT>(GetAutoSizeStyle()), TRUE);
        Invalidate();
    }
    else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE)
    {
        CPoint start;
        if (!GetCellOrigin(cell.row, 0, &start))
            return;
        int row = cell.row;
        if (point.y - start.y < m_nResizeCaptureRange)
            row--;
        while (row >= 0 && GetRowHeight(row) <= 0)
            row--;
        if (row < 0)
            return;
        AutoSizeRow(row, TRUE);
        Invalidate();
    }
    else if (m_MouseMode == MOUSE_NOTHING)
    {
        CPoint origin;
        CPoint relative(0, 0);
        if (GetCellOrigin(cell, &origin))
            relative = CPoint(point.x - origin.x, point.y - origin.y);
        CGridCellBase* cellObject = GetCell(cell.row, cell.col);
        if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols && cellObject)
        {
            CRect rect;
            bool inText = GetCellRect(cell, rect) && cellObject->GetTextRect(rect) && rect.PtInRect(point);
            if (inText && (IsValid(m_LeftClickDownCell) || m_bListMode))
                OnEditCell(cell.row, cell.col, relative, VK_LBUTTON);
        }
        if ((cellObject = GetCell(cell.row, cell.col)) != nullptr)
            cellObject->OnDblClick(relative);
        SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CGridCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
    m_bRMouseButtonDown = TRUE;
    CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell))
        return;
    SetFocusCell(cell);
    if (m_bListMode)
        SelectRows(cell, TRUE, FALSE);
    else
        SelectCells(cell, TRUE, FALSE);
}

void CGridCtrl::OnRButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnRButtonUp(nFlags, point);
    m_bRMouseButtonDown = FALSE;
    EndEditing();
    CCellID cell = GetCellFromPt(point);
    if (IsValid(cell))
    {
        SetFocusCell(-1, -1);
        SetFocusCell(cell.row > m_nFixedRows ? cell.row : m_nFixedRows, cell.col > m_nFixedCols ? cell.col : m_nFixedCols);
        CPoint origin;
        if (CGridCellBase* cellObject = GetCell(cell.row, cell.col))
        {
            CPoint relative(0, 0);
            if (GetCellOrigin(cell, &origin))
                relative = CPoint(point.x - origin.x, point.y - origin.y);
            cellObject->OnRClick(relative);
        }
        SendMessageToParent(cell.row, cell.col, NM_RCLICK);
    }
    else
    {
        SendMessageToParent(-1, -1, NM_RCLICK);
    }
}

BOOL CGridCtrl::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (m_nRowsPerWheelNotch == -1)
    {
        int pages = zDelta / 120;
        for (int i = 0; i < (pages > 0 ? pages : -pages); i++)
            PostMessage(WM_VSCROLL, pages > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    }
    else
    {
        int lines = zDelta * m_nRowsPerWheelNotch / 120;
        for (int i = 0; i < (lines > 0 ? lines : -lines); i++)
            PostMessage(WM_VSCROLL, lines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    }
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}

BOOL CGridCtrl::OnSetCursor(CWnd* window, UINT hitTest, UINT message)
{
    if (hitTest != HTCLIENT)
        return CWnd::OnSetCursor(window, hitTest, message);
    switch (m_MouseMode)
    {
    case MOUSE_OVER_ROW_DIVIDE:
        UseCursor(IDC_SIZENS);
        break;
    case MOUSE_OVER_COL_DIVIDE:
        UseCursor(IDC_SIZEWE);
        break;
    case MOUSE_DRAGGING:
        break;
    default:
        {
            CGridCellBase* cell = nullptr;
            if (!m_bVirtualMode)
            {
                DWORD pos = ::GetMessagePos();
                CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
                ScreenToClient(&point);
                CCellID id = GetCellFromPt(point);
                if (IsValid(id))
                    cell = GetCell(id.row, id.col);
            }
            if (!cell || !cell->OnSetCursor())
                UseCursor(IDC_ARROW);
        }
        break;
    }
    return TRUE;
}

void CGridCtrl::OnFixedRowClick(CCellID& cell)
{
    if (!IsValid(cell))
        return;
    if (GetSortOnClick())
    {
        HCURSOR old = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        SortItems(cell.col, !GetSortAscending(), reinterpret_cast<LPARAM>(&cell));
        ::SetCursor(old);
        Invalidate();
    }
    if (GetFixedRowSelection())
    {
        m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        OnSelecting(cell);
    }
}

void CGridCtrl::OnFixedColumnClick(CCellID& cell)
{
    if (!IsValid(cell) || !GetFixedColumnSelection())
        return;
    m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    OnSelecting(cell);
}
