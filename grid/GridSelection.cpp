// Focus cell, selection (ranges, rows, columns, all), the keyboard, typing into cells, and the
// timer that keeps extending a mouse selection dragged beyond the window's edge.
#include "grid/GridCtrl.h"

namespace {

const UINT_PTR SELECTION_TIMER = WM_LBUTTONDOWN;

bool KeyHeld(int key)
{
    return ::GetKeyState(key) < 0;
}

} // namespace

CCellID CGridCtrl::SetFocusCell(int nRow, int nCol)
{
    return SetFocusCell(CCellID(nRow, nCol));
}

CCellID CGridCtrl::SetFocusCell(CCellID cell)
{
    if (cell == m_idCurrentCell)
        return m_idCurrentCell;
    CCellID previous = m_idCurrentCell;
    if (cell.row != -1 && cell.row < m_nFixedRows)
        cell.row = m_nFixedRows;
    if (cell.col != -1 && cell.col < m_nFixedCols)
        cell.col = m_nFixedCols;
    m_idCurrentCell = cell;

    if (IsValid(previous))
    {
        SetItemState(previous.row, previous.col, GetItemState(previous.row, previous.col) & ~GVIS_FOCUSED);
        RedrawCell(previous);
        if (GetTrackFocusCell() && previous.col != m_idCurrentCell.col)
            for (int row = 0; row < m_nFixedRows; row++)
                RedrawCell(row, previous.col);
        if (GetTrackFocusCell() && previous.row != m_idCurrentCell.row)
            for (int col = 0; col < m_nFixedCols; col++)
                RedrawCell(previous.row, col);
    }
    if (IsValid(m_idCurrentCell))
    {
        SetItemState(m_idCurrentCell.row, m_idCurrentCell.col,
                     GetItemState(m_idCurrentCell.row, m_idCurrentCell.col) | GVIS_FOCUSED);
        RedrawCell(m_idCurrentCell);
        if (GetTrackFocusCell() && previous.col != m_idCurrentCell.col)
            for (int row = 0; row < m_nFixedRows; row++)
                RedrawCell(row, m_idCurrentCell.col);
        if (GetTrackFocusCell() && previous.row != m_idCurrentCell.row)
            for (int col = 0; col < m_nFixedCols; col++)
                RedrawCell(m_idCurrentCell.row, col);
    }
    return previous;
}

void CGridCtrl::SetSelectedRange(const CCellRange& range, BOOL forceRepaint, BOOL selectCells)
{
    SetSelectedRange(range.GetMinRow(), range.GetMinCol(), range.GetMaxRow(), range.GetMaxCol(), forceRepaint,
                     selectCells);
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, BOOL forceRepaint, BOOL selectCells)
{
    if (!m_bEnableSelection)
        return;
    HCURSOR oldCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    CDC* pDC = nullptr;
    if (forceRepaint && GetSafeHwnd())
        pDC = GetDC();

    CCellRange visible(-1, -1, -1, -1), visibleFixed(-1, -1, -1, -1);
    if (::IsWindow(GetSafeHwnd()))
    {
        visible = GetVisibleNonFixedCellRange();
        visibleFixed = GetVisibleFixedCellRange();
    }

    int firstSelectableCol = m_bSelectInFixedColumns ? 0 : m_nFixedCols;
    if (minRow >= 0 && minRow < m_nFixedRows)
        minRow = m_nFixedRows;
    if (maxRow >= 0 && maxRow < m_nFixedRows)
        maxRow = m_nFixedRows;
    if (minCol >= 0 && minCol < firstSelectableCol)
        minCol = m_nFixedCols;
    if (maxCol >= 0 && maxCol < firstSelectableCol)
        maxCol = m_nFixedCols;

    auto shown = [&](int row, int col) {
        return (visible.IsValid() && visible.InRange(row, col)) || visibleFixed.InRange(row, col);
    };
    auto repaint = [&](int row, int col) {
        if (!shown(row, col))
            return;
        if (pDC)
            RedrawCell(row, col, pDC);
        else
            InvalidateCellRect(row, col);
    };
    bool allBounds = minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0;
    CCellRange target(minRow, minCol, maxRow, maxCol);

    if (selectCells)
    {
        POSITION pos = m_SelectedCellMap.GetStartPosition();
        while (pos)
        {
            SelectedCellKey key;
            CCellID cell;
            m_SelectedCellMap.GetNextAssoc(pos, key, cell);
            if (!IsValid(cell))
            {
                m_SelectedCellMap.RemoveKey(key);
                continue;
            }
            SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~GVIS_SELECTED);
            // Gone from the map even when its cell had lost the bit some other way.
            m_SelectedCellMap.RemoveKey(key);
            if (!target.InRange(cell))
                repaint(cell.row, cell.col);
        }
        if (!GetSingleRowSelection() && allBounds)
        {
            pos = m_PrevSelectedCellMap.GetStartPosition();
            while (pos)
            {
                SelectedCellKey key;
                CCellID cell;
                m_PrevSelectedCellMap.GetNextAssoc(pos, key, cell);
                if (!IsValid(cell))
                    continue;
                SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_SELECTED);
                repaint(cell.row, cell.col);
            }
        }
    }

    if (allBounds && maxRow < m_nRows && maxCol < m_nCols && minRow <= maxRow && minCol <= maxCol)
    {
        for (int row = minRow; row <= maxRow; row++)
        {
            for (int col = minCol; col <= maxCol; col++)
            {
                BOOL selected = IsCellSelected(row, col);
                if ((selected != FALSE) == (selectCells != FALSE))
                    continue;
                UINT state = GetItemState(row, col);
                SetItemState(row, col, selectCells ? (state | GVIS_SELECTED) : (state & ~GVIS_SELECTED));
                repaint(row, col);
            }
        }
    }

    if (pDC)
        ReleaseDC(pDC);
    ::SetCursor(oldCursor);
}

void CGridCtrl::SelectAllCells()
{
    if (!m_bEnableSelection)
        return;
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1, FALSE, TRUE);
}

void CGridCtrl::SelectColumns(CCellID currentCell, BOOL forceRedraw, BOOL selectCells)
{
    if (!m_bEnableSelection || currentCell.col < m_nFixedCols || !IsValid(currentCell))
        return;
    if (GetSingleColSelection())
    {
        SetSelectedRange(m_nFixedRows, currentCell.col, m_nRows - 1, currentCell.col, forceRedraw, selectCells);
    }
    else
    {
        int first = m_SelectionStartCell.col < currentCell.col ? m_SelectionStartCell.col : currentCell.col;
        int last = m_SelectionStartCell.col > currentCell.col ? m_SelectionStartCell.col : currentCell.col;
        SetSelectedRange(m_nFixedRows, first, m_nRows - 1, last, forceRedraw, selectCells);
    }
}

void CGridCtrl::SelectRows(CCellID currentCell, BOOL forceRedraw, BOOL selectCells)
{
    if (!m_bEnableSelection || currentCell.row < m_nFixedRows || !IsValid(currentCell))
        return;
    int firstCol = m_bSelectInFixedColumns ? 0 : m_nFixedCols;
    if (GetSingleRowSelection())
    {
        SetSelectedRange(currentCell.row, firstCol, currentCell.row, m_nCols - 1, forceRedraw, selectCells);
    }
    else
    {
        int first = m_SelectionStartCell.row < currentCell.row ? m_SelectionStartCell.row : currentCell.row;
        int last = m_SelectionStartCell.row > currentCell.row ? m_SelectionStartCell.row : currentCell.row;
        SetSelectedRange(first, firstCol, last, m_nCols - 1, forceRedraw, selectCells);
    }
}

void CGridCtrl::SelectCells(CCellID currentCell, BOOL forceRedraw, BOOL selectCells)
{
    if (!m_bEnableSelection || currentCell.row < m_nFixedRows || currentCell.col < m_nFixedCols
        || !IsValid(currentCell))
        return;
    CCellID start = m_SelectionStartCell;
    SetSelectedRange(start.row < currentCell.row ? start.row : currentCell.row,
                     start.col < currentCell.col ? start.col : currentCell.col,
                     start.row > currentCell.row ? start.row : currentCell.row,
                     start.col > currentCell.col ? start.col : currentCell.col, forceRedraw, selectCells);
}

void CGridCtrl::OnSelecting(const CCellID& currentCell)
{
    if (!m_bEnableSelection)
        return;
    switch (m_MouseMode)
    {
    case MOUSE_SELECT_ALL: SelectAllCells(); break;
    case MOUSE_SELECT_COL: SelectColumns(currentCell, FALSE); break;
    case MOUSE_SELECT_ROW: SelectRows(currentCell, FALSE); break;
    case MOUSE_SELECT_CELLS: SelectCells(currentCell, FALSE); break;
    default: break;
    }
}

UINT CGridCtrl::OnGetDlgCode()
{
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m_bHandleTabKey && !KeyHeld(VK_CONTROL))
        code |= DLGC_WANTTAB;
    return code;
}

int CGridCtrl::NextVisibleColumnLeft(int col) const
{
    for (int c = col - 1; c >= m_nFixedCols; c--)
        if (GetColumnWidth(c) > 0)
            return c;
    return col;
}

int CGridCtrl::NextVisibleRowAbove(int row) const
{
    for (int r = row - 1; r >= m_nFixedRows; r--)
        if (GetRowHeight(r) > 0)
            return r;
    return row;
}

// Where a navigation key moves the focus cell, and which scroll bars it moved on the way.
struct CGridCtrl::KeyMove
{
    CCellID next;
    bool changeLine = false;   // Tab or Shift+Tab wrapped to another row
    bool hScrolled = false;
    bool vScrolled = false;
};

void CGridCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!IsValid(m_idCurrentCell))
    {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    const bool ctrl = KeyHeld(VK_CONTROL);
    const bool shift = KeyHeld(VK_SHIFT);
    HandleEditShortcut(nChar, ctrl, shift);

    KeyMove move;
    move.next = m_idCurrentCell;
    if (!MoveFocusByKey(nChar, nRepCnt, nFlags, ctrl, shift, move))
    {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    if (move.next == m_idCurrentCell)
        return;
    SelectFocusCellByKey(move.next, shift && nChar != VK_TAB);
    if (!IsCellVisible(move.next))
    {
        ScrollTowardsKeyTarget(nChar, shift, move);
        EnsureVisible(move.next);
        Invalidate();
    }
    EnsureVisible(move.next);
    if (move.hScrolled)
        SendMessage(WM_HSCROLL, SB_ENDSCROLL, 0);
    if (move.vScrolled)
        SendMessage(WM_VSCROLL, SB_ENDSCROLL, 0);
}

// Clipboard and auto-size shortcuts; they do not move the focus cell.
void CGridCtrl::HandleEditShortcut(UINT nChar, bool ctrl, bool shift)
{
    if (ctrl)
    {
        switch (nChar)
        {
        case VK_INSERT:
        case 'C': OnEditCopy(); break;
        case 'A': OnEditSelectAll(); break;
        case 'V': OnEditPaste(); break;
        case 'X': OnEditCut(); break;
        case VK_ADD:
            AutoSizeColumns(static_cast<UINT>(GetAutoSizeStyle()));
            Invalidate();
            break;
        default: break;
        }
    }
    else if (shift && nChar == VK_INSERT)
    {
        OnEditPaste();
    }
}

// The focus cell a key asks for; false for a key the grid leaves to the default handling.
bool CGridCtrl::MoveFocusByKey(UINT nChar, UINT nRepCnt, UINT nFlags, bool ctrl, bool shift, KeyMove& move)
{
    CCellID& next = move.next;
    switch (nChar)
    {
    case VK_DELETE:
        CutSelectedText();
        return true;
    case VK_DOWN:
        for (int row = next.row + 1; row < m_nRows; row++)
            if (GetRowHeight(row) > 0)
            {
                next.row = row;
                break;
            }
        return true;
    case VK_UP:
        next.row = NextVisibleRowAbove(next.row);
        return true;
    case VK_RIGHT:
    case VK_TAB:
        MoveRightOrTab(nChar, nRepCnt, nFlags, shift, move);
        return true;
    case VK_LEFT:
        next.col = NextVisibleColumnLeft(next.col);
        return true;
    case VK_NEXT:
    case VK_PRIOR:
        MoveByPage(nChar == VK_NEXT, move);
        return true;
    case VK_HOME:
    case VK_END:
        MoveToRowEnd(nChar == VK_HOME, ctrl, move);
        return true;
    case VK_F2:
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), VK_LBUTTON);
        return true;
    default:
        return false;
    }
}

// Right moves to the next visible column; Tab also wraps from the last column to the next row and
// Shift+Tab from the first column to the end of the row above.
void CGridCtrl::MoveRightOrTab(UINT nChar, UINT nRepCnt, UINT nFlags, bool shift, KeyMove& move)
{
    CCellID& next = move.next;
    if (nChar == VK_TAB && shift)
    {
        next.col = NextVisibleColumnLeft(next.col);
        if (m_idCurrentCell.col == m_nFixedCols && m_idCurrentCell.row > m_nFixedRows)
        {
            next.row = NextVisibleRowAbove(m_idCurrentCell.row);
            next.col = m_nCols - 1;
            move.changeLine = true;
        }
        else
        {
            CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        }
        return;
    }
    for (int col = next.col + 1; col < m_nCols; col++)
        if (GetColumnWidth(col) > 0)
        {
            next.col = col;
            break;
        }
    if (nChar != VK_TAB)
        return;
    if (m_idCurrentCell.col == m_nCols - 1 && m_idCurrentCell.row != m_nRows - 1)
    {
        int row = m_idCurrentCell.row + 1;
        while (row < m_nRows - 1 && GetRowHeight(row) <= 0)
            row++;
        next.row = row;
        next.col = m_nFixedCols;
        move.changeLine = true;
    }
    else
    {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    }
}

// Page Down/Up scroll a page and move the focus by as many rows as the view moved (to the last or
// first row when it could not move).
void CGridCtrl::MoveByPage(bool down, KeyMove& move)
{
    CCellID& next = move.next;
    const CCellID before = GetTopleftNonFixedCell();
    SendMessage(WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP, 0);
    move.vScrolled = true;
    const CCellID after = GetTopleftNonFixedCell();
    if (down)
    {
        const int moved = after.row - before.row;
        if (moved > 0)
            next.row = next.row + moved < m_nRows - 1 ? next.row + moved : m_nRows - 1;
        else
            next.row = m_nRows - 1;
    }
    else
    {
        const int moved = before.row - after.row;
        if (moved > 0)
            next.row = next.row - moved > m_nFixedRows ? next.row - moved : m_nFixedRows;
        else
            next.row = m_nFixedRows;
    }
}

// Home/End go to the first/last visible column of the row; with Ctrl to the first/last row as well.
void CGridCtrl::MoveToRowEnd(bool home, bool ctrl, KeyMove& move)
{
    CCellID& next = move.next;
    if (ctrl)
    {
        SendMessage(WM_VSCROLL, home ? SB_TOP : SB_BOTTOM, 0);
        move.vScrolled = true;
        next.row = home ? m_nFixedRows : m_nRows - 1;
    }
    SendMessage(WM_HSCROLL, home ? SB_LEFT : SB_RIGHT, 0);
    move.hScrolled = true;
    if (home)
    {
        next.col = m_nFixedCols;
        while (next.col < m_nCols - 1 && GetColumnWidth(next.col) == 0)
            next.col++;
        while (next.row < m_nRows - 1 && GetRowHeight(next.row) == 0)
            next.row++;
    }
    else
    {
        next.col = m_nCols - 1;
        while (next.col > m_nFixedCols + 1 && GetColumnWidth(next.col) == 0)
            next.col--;
        while (next.row > m_nFixedRows + 1 && GetRowHeight(next.row) == 0)
            next.row--;
    }
}

// Selects towards the new focus cell as a mouse selection would (extending it with Shift).
void CGridCtrl::SelectFocusCellByKey(const CCellID& next, bool extend)
{
    if (m_MouseMode == MOUSE_NOTHING)
    {
        m_PrevSelectedCellMap.RemoveAll();
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        if (!extend)
            m_SelectionStartCell = next;
        SendMessageToParent(next.row, next.col, GVN_SELCHANGING);
        OnSelecting(next);
        SendMessageToParent(next.row, next.col, GVN_SELCHANGED);
        m_MouseMode = MOUSE_NOTHING;
    }
    SetFocusCell(next);
}

// A line scroll in the key's direction when the new focus cell lies outside the view.
void CGridCtrl::ScrollTowardsKeyTarget(UINT nChar, bool shift, KeyMove& move)
{
    switch (nChar)
    {
    case VK_RIGHT:
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        move.hScrolled = true;
        break;
    case VK_LEFT:
        SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
        move.hScrolled = true;
        break;
    case VK_DOWN:
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        move.vScrolled = true;
        break;
    case VK_UP:
        SendMessage(WM_VSCROLL, SB_LINEUP, 0);
        move.vScrolled = true;
        break;
    case VK_TAB:
        if (move.changeLine)
        {
            SendMessage(WM_VSCROLL, shift ? SB_LINEUP : SB_LINEDOWN, 0);
            move.vScrolled = true;
            SetScrollPos32(SB_HORZ, shift ? m_nHScrollMax : 0);
        }
        else
        {
            SendMessage(WM_HSCROLL, shift ? SB_LINELEFT : SB_LINERIGHT, 0);
            move.hScrolled = true;
        }
        break;
    default:
        break;
    }
}

void CGridCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!KeyHeld(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && nChar != VK_ESCAPE)
    {
        if (!(m_bHandleTabKey && nChar == VK_TAB))
            OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), nChar);
    }
    CWnd::OnChar(nChar, nRepCnt, nFlags);
}

LRESULT CGridCtrl::OnImeChar(WPARAM wParam, LPARAM)
{
    UINT ch = static_cast<UINT>(wParam);
    if (!KeyHeld(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && ch != VK_ESCAPE
        && !(m_bHandleTabKey && ch == VK_TAB))
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), ch);
    return 0;
}

void CGridCtrl::OnEndInPlaceEdit(NMHDR* nmhdr, LRESULT* result)
{
    *result = 0;
    if (!::IsWindow(GetSafeHwnd()))
        return;
    GridDispInfo* info = reinterpret_cast<GridDispInfo*>(nmhdr);
    CWnd* editor = CWnd::FromHandlePermanent(info->hdr.hwndFrom);
    CGridCellBase* opened = GetCell(info->item.row, info->item.col);
    bool cellInPlace = opened && opened->IsEditing() && opened->GetEditWnd() == editor;
    OnEndEditCell(info->item.row, info->item.col, info->item.strText);
    if (!cellInPlace)
        ForgetEditor(editor);
    switch (info->item.lParam)
    {
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        OnKeyDown(static_cast<UINT>(info->item.lParam), 0, 0);
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), static_cast<UINT>(info->item.lParam));
        break;
    default:
        break;
    }
}

void CGridCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != SELECTION_TIMER)
        return;
    CPoint cursor;
    if (!::GetCursorPos(&cursor))
        return;
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(client);
    int fixedHeight = GetFixedRowHeight();
    int fixedWidth = GetFixedColumnWidth();

    // Below or above the rows, then right or left of the columns: one step that way, and the
    // selection extended to the cell at the edge.
    auto step = [this](UINT key, CPoint point) {
        SendMessage(WM_KEYDOWN, key, 0);
        OnSelecting(GetCellFromPt(point));
    };
    int clampedX = cursor.x < client.left ? client.left : (cursor.x > client.right ? client.right : cursor.x);
    int clampedY = cursor.y < client.top ? client.top : (cursor.y > client.bottom ? client.bottom : cursor.y);
    if (cursor.y > client.bottom)
        step(VK_DOWN, CPoint(clampedX, client.bottom));
    else if (cursor.y < fixedHeight)
        step(VK_UP, CPoint(clampedX, fixedHeight + 1));
    if (cursor.x > client.right)
        step(VK_RIGHT, CPoint(client.right, clampedY));
    else if (cursor.x < fixedWidth)
        step(VK_LEFT, CPoint(fixedWidth + 1, clampedY));
}

void CGridCtrl::OnCaptureChanged(CWnd* window)
{
    if (window && window->GetSafeHwnd() == GetSafeHwnd())
        return;
    if (m_nTimerID != 0)
    {
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    switch (m_MouseMode)
    {
    case MOUSE_DRAGGING:
        m_MouseMode = MOUSE_NOTHING;
        break;
    case MOUSE_SIZING_ROW:
    case MOUSE_SIZING_COL:
        // The grid's own release lets go of the capture with the button already up; otherwise the
        // release will not come here: the sizing line goes, the size stays as it was and the cursor
        // is free again.
        if (!m_bLMouseButtonDown)
            break;
        InvertDividerLine(m_LastMousePoint.x, m_LastMousePoint.y, m_MouseMode == MOUSE_SIZING_COL);
        ::ClipCursor(nullptr);
        m_MouseMode = MOUSE_NOTHING;
        m_bLMouseButtonDown = FALSE;
        break;
    case MOUSE_SELECT_ALL:
    case MOUSE_SELECT_COL:
    case MOUSE_SELECT_ROW:
    case MOUSE_SELECT_CELLS:
        // Without the capture the release goes elsewhere; moves over the grid must not go on
        // selecting as if the button were still down.
        if (m_bLMouseButtonDown)
        {
            m_MouseMode = MOUSE_NOTHING;
            m_bLMouseButtonDown = FALSE;
        }
        break;
    default:
        break;
    }
}
