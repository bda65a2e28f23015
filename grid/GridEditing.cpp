// Opening and closing the in-place editor of a cell, and taking the edited text back.
#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"

void CGridCtrl::OnEditCell(int nRow, int nCol, CPoint point, UINT nChar)
{
    m_TitleTip.Hide();
    if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol))
        return;
    EnsureVisible(nRow, nCol);
    CRect rect;
    if (!IsCellVisible(nRow, nCol) || !GetCellRect(nRow, nCol, rect))
        return;
    if (SendMessageToParent(nRow, nCol, GVN_BEGINLABELEDIT) < 0)
        return;
    if (CGridCellBase* cell = GetCell(nRow, nCol))
        cell->Edit(nRow, nCol, rect, point, IDC_INPLACE_CONTROL, nChar);
}

void CGridCtrl::EndEditing()
{
    if (IsValid(m_idCurrentCell))
    {
        if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
            cell->EndEdit();
    }
    // An editor left open on another cell (the focus moved while it was open) is closed too.
    if (GetSafeHwnd())
    {
        HWND editor = ::GetDlgItem(m_hWnd, IDC_INPLACE_CONTROL);
        if (CInPlaceEdit* edit = dynamic_cast<CInPlaceEdit*>(CWnd::FromHandlePermanent(editor)))
            edit->EndEdit();
    }
}

void CGridCtrl::OnEndEditCell(int nRow, int nCol, CString text)
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    // The editor may outlive its cell, or the cell may have moved; only the cell it opened on takes
    // the text.
    if (!cell || !cell->IsEditing())
        return;
    ApplyCellText(nRow, nCol, text);
    if ((cell = GetCell(nRow, nCol)) != nullptr)
        cell->OnEndEdit();
}

BOOL CGridCtrl::ValidateEdit(int nRow, int nCol, LPCTSTR text)
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    return cell ? cell->ValidateEdit(text) : TRUE;
}

void CGridCtrl::ForgetEditor(CWnd* editor)
{
    if (!editor)
        return;
    for (int row = 0; row < m_nRows; row++)
        for (int col = 0; col < m_nCols; col++)
            if (CGridCellBase* cell = GetCell(row, col))
                if (cell->IsEditing() && cell->GetEditWnd() == editor)
                    cell->OnEndEdit();
}
