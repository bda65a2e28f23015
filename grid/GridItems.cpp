// The per-cell item operations (text, data, format, colours, state), the modified flag, the sort
// mark and list mode.
#include "grid/GridCtrl.h"

// ---- Modified flag, sort mark, list mode ------------------------------------------------------

void CGridCtrl::SetModified(BOOL modified, int nRow, int nCol)
{
    m_nContentChanges++;   // texts, data, rows and columns all change through here
    if (nCol < 0 || nCol == m_nSortColumn)
        SetSortColumn(-1);
    if (nRow < 0 || nCol < 0)
    {
        m_bModified = modified;
    }
    else if (CGridCellBase* cell = GetCell(nRow, nCol))
    {
        if (modified)
        {
            cell->SetState(cell->GetState() | GVIS_MODIFIED);
            m_bModified = TRUE;
        }
        else
        {
            cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
        }
    }
    if (!m_bModified)
    {
        for (int row = 0; row < m_nRows; row++)
            for (int col = 0; col < m_nCols; col++)
                if (CGridCellBase* cell = GetCell(row, col))
                    cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
    }
}

void CGridCtrl::SetCellModified(CGridCellBase* cell, int nCol)
{
    m_nContentChanges++;
    if (nCol == m_nSortColumn)
        SetSortColumn(-1);
    cell->SetState(cell->GetState() | GVIS_MODIFIED);
    m_bModified = TRUE;
}

BOOL CGridCtrl::GetModified(int nRow, int nCol)
{
    if (nRow >= 0 && nCol >= 0)
        return (GetItemState(nRow, nCol) & GVIS_MODIFIED) != 0;
    return m_bModified;
}

void CGridCtrl::SetSortColumn(int col)
{
    if (m_nSortColumn >= 0)
        InvalidateCellRect(0, m_nSortColumn);
    m_nSortColumn = col;
    if (col >= 0)
        InvalidateCellRect(0, col);
}

void CGridCtrl::SetListMode(BOOL enable)
{
    ResetSelectedRange();
    SetSortColumn(-1);
    m_bListMode = enable;
    SetFixedRowSelection(FALSE);
    Refresh();
}

void CGridCtrl::Refresh()
{
    if (GetSafeHwnd() && m_bAllowDraw)
        Invalidate(TRUE);
}

BOOL CGridCtrl::IsCellEditable(int nRow, int nCol) const
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    return IsEditable() && !(cell->GetState() & GVIS_READONLY);
}

BOOL CGridCtrl::IsCellSelected(int nRow, int nCol) const
{
    if (!IsSelectable())
        return FALSE;
    if (m_bVirtualMode)
    {
        CCellID cell;
        return m_SelectedCellMap.Lookup(SelectionKey(nRow, nCol), cell);
    }
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? (cell->GetState() & GVIS_SELECTED) != 0 : FALSE;
}

// ---- Items -----------------------------------------------------------------------------------

CString CGridCtrl::GetItemText(int nRow, int nCol) const
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? CString(cell->GetText()) : CString();
}

BOOL CGridCtrl::SetItemText(int nRow, int nCol, LPCTSTR text)
{
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetText(text ? text : L"");
    SetModified(TRUE, nRow, nCol);
    return TRUE;
}

BOOL CGridCtrl::SetItemData(int nRow, int nCol, LPARAM data)
{
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetData(data);
    SetModified(TRUE, nRow, nCol);
    return TRUE;
}

LPARAM CGridCtrl::GetItemData(int nRow, int nCol) const
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? cell->GetData() : 0;
}

BOOL CGridCtrl::SetItemFormat(int nRow, int nCol, UINT format)
{
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetFormat(format);
    return TRUE;
}

UINT CGridCtrl::GetItemFormat(int nRow, int nCol) const
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? cell->GetFormat() : 0;
}

BOOL CGridCtrl::SetItemBkColour(int nRow, int nCol, COLORREF clr)
{
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetBackClr(clr);
    return TRUE;
}

BOOL CGridCtrl::SetItemFgColour(int nRow, int nCol, COLORREF clr)
{
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetTextClr(clr);
    return TRUE;
}

BOOL CGridCtrl::SetItemState(int nRow, int nCol, UINT state)
{
    if (!IsValid(nRow, nCol))
        return FALSE;
    BOOL selected = IsCellSelected(nRow, nCol);
    SelectedCellKey key = SelectionKey(nRow, nCol);
    if (selected && !(state & GVIS_SELECTED))
    {
        m_SelectedCellMap.RemoveKey(key);
    }
    else if (!selected && (state & GVIS_SELECTED))
    {
        CCellID cell(nRow, nCol);
        m_SelectedCellMap.SetAt(key, cell);
    }
    if (m_bVirtualMode)
        return FALSE;
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->SetState(state);
    return TRUE;
}

UINT CGridCtrl::GetItemState(int nRow, int nCol) const
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? cell->GetState() : 0;
}

BOOL CGridCtrl::IsItemEditing(int nRow, int nCol)
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? cell->IsEditing() : FALSE;
}
