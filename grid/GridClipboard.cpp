// Cell text to and from other programs and the grid itself: the clipboard text format (tabs between
// cells, CR LF between rows, ANSI), copy, cut, paste, the edit commands, and drag and drop of cells
// and of column headers.
#include "grid/GridCtrl.h"
#include "framework/Controls.h"
#include <string>

namespace {

std::string ToAnsi(const CString& text)
{
    if (text.IsEmpty())
        return std::string();
    int size = ::WideCharToMultiByte(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.GetString(), text.GetLength(), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

CString FromAnsi(const char* bytes, int length)
{
    if (length <= 0)
        return CString();
    int size = ::MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes, length, &wide[0], size);
    return CString(wide.c_str(), size);
}

// The text of a CF_TEXT block: up to its first NUL, and never past the block's end.
CString ReadTextBlock(HGLOBAL memory)
{
    SIZE_T size = ::GlobalSize(memory);
    const char* bytes = static_cast<const char*>(::GlobalLock(memory));
    if (!bytes)
        return CString();
    SIZE_T length = 0;
    while (length < size && bytes[length] != '\0')
        length++;
    CString text = FromAnsi(bytes, static_cast<int>(length));
    ::GlobalUnlock(memory);
    return text;
}

} // namespace

COleDataSource* CGridCtrl::CopyTextFromGrid()
{
    CCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return nullptr;
    if (m_bVirtualMode)
        SendCacheHintToParent(range);

    CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 4096);
    bool written = true;
    for (int row = range.GetMinRow(); row <= range.GetMaxRow() && written; row++)
    {
        if (GetRowHeight(row) == 0)
            continue;
        CString line;
        for (int col = range.GetMinCol(); col <= range.GetMaxCol(); col++)
        {
            if (GetColumnWidth(col) == 0)
                continue;
            CGridCellBase* cell = GetCell(row, col);
            if (cell && (cell->GetState() & GVIS_SELECTED))
                line += cell->GetText();
            if (col != range.GetMaxCol())
                line += L"\t";
        }
        if (row != range.GetMaxRow())
            line += L"\r\n";
        std::string bytes = ToAnsi(line);
        written = file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }
    if (written)
        written = file.Write("", 1);
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(-1, -1, -1, -1));
    if (!written)
        return nullptr;

    UINT length = file.GetLength();
    HGLOBAL memory = file.Detach();
    if (!memory)
        return nullptr;
    HGLOBAL fitted = ::GlobalReAlloc(memory, length, GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT);
    if (!fitted)
    {
        ::GlobalFree(memory);
        return nullptr;
    }
    COleDataSource* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, fitted);
    return source;
}

void CGridCtrl::CutSelectedText()
{
    if (!IsEditable())
        return;
    std::vector<CCellID> cells;
    POSITION pos = m_SelectedCellMap.GetStartPosition();
    while (pos)
    {
        SelectedCellKey key;
        CCellID cell;
        m_SelectedCellMap.GetNextAssoc(pos, key, cell);
        cells.push_back(cell);
    }
    for (const CCellID& cell : cells)
        ValidateAndModifyCellContents(cell.row, cell.col, L"");
}

BOOL CGridCtrl::ApplyCellText(int nRow, int nCol, const CString& text)
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    CString oldText = cell->GetText();
    if (oldText == text)
        return FALSE;
    DWORD oldModified = cell->GetState() & GVIS_MODIFIED;
    BOOL gridModified = m_bModified;
    SetItemText(nRow, nCol, text);
    if (ValidateEdit(nRow, nCol, text) && SendMessageToParent(nRow, nCol, GVN_ENDLABELEDIT) >= 0)
    {
        SetModified(TRUE, nRow, nCol);
        RedrawCell(nRow, nCol);
        return TRUE;
    }
    // Refused: the cell gets back its text and its modified state.
    if ((cell = GetCell(nRow, nCol)) != nullptr)
    {
        cell->SetText(oldText);
        cell->SetState((cell->GetState() & ~GVIS_MODIFIED) | oldModified);
    }
    m_bModified = gridModified;
    return FALSE;
}

BOOL CGridCtrl::ValidateAndModifyCellContents(int nRow, int nCol, LPCTSTR text)
{
    if (!IsCellEditable(nRow, nCol))
        return FALSE;
    if (SendMessageToParent(nRow, nCol, GVN_BEGINLABELEDIT) < 0)
        return FALSE;
    return ApplyCellText(nRow, nCol, CString(text));
}

BOOL CGridCtrl::PasteTextToGrid(CCellID cell, COleDataObject* dataObject, BOOL selectPastedCells)
{
    if (!IsValid(cell) || !IsCellEditable(cell) || !dataObject || !dataObject->IsDataAvailable(CF_TEXT))
        return FALSE;
    HGLOBAL memory = dataObject->GetGlobalData(CF_TEXT);
    if (!memory)
        return FALSE;
    CString text = ReadTextBlock(memory);
    ::GlobalFree(memory);

    CCellRange pasted(cell.row, cell.col, -1, -1);
    int lineIndex = 0;
    int pos = 0;
    for (;;)
    {
        int end = text.Find(L'\n', pos);
        bool lastLine = end < 0;
        CString line = lastLine ? text.Mid(pos) : text.Mid(pos, end - pos);
        pos = end + 1;
        // A text that ends with its line break has no further line to paste.
        if (lastLine && line.IsEmpty())
            break;
        while (GetRowHeight(cell.row + lineIndex) == 0)
            lineIndex++;
        int row = cell.row + lineIndex;

        int colIndex = 0;
        int cellPos = 0;
        for (;;)
        {
            int cellEnd = cellPos;
            while (cellEnd < line.GetLength() && line[cellEnd] != L'\t' && line[cellEnd] != L',')
                cellEnd++;
            if (cellEnd >= line.GetLength())
                cellEnd = -1;
            bool lastCell = cellEnd < 0;
            CString cellText = lastCell ? line.Mid(cellPos) : line.Mid(cellPos, cellEnd - cellPos);
            cellPos = cellEnd + 1;
            while (GetColumnWidth(cell.col + colIndex) == 0)
                colIndex++;
            int col = cell.col + colIndex;
            cellText.Trim();
            if (IsValid(row, col))
            {
                ValidateAndModifyCellContents(row, col, cellText);
                SetItemState(row, col, GetItemState(row, col) & ~GVIS_SELECTED);
                if (row > pasted.GetMaxRow())
                    pasted.SetMaxRow(row);
                if (col > pasted.GetMaxCol())
                    pasted.SetMaxCol(col);
            }
            colIndex++;
            if (lastCell)
                break;
        }
        lineIndex++;
        if (lastLine)
            break;
    }

    if (selectPastedCells)
    {
        SetSelectedRange(pasted, TRUE, TRUE);
    }
    else
    {
        ResetSelectedRange();
        Refresh();
    }
    return TRUE;
}

void CGridCtrl::OnEditCopy()
{
    if (COleDataSource* source = CopyTextFromGrid())
        source->SetClipboard();
}

void CGridCtrl::OnEditCut()
{
    if (!IsEditable())
        return;
    if (COleDataSource* source = CopyTextFromGrid())
        source->SetClipboard();
    CutSelectedText();
}

void CGridCtrl::OnEditPaste()
{
    if (!IsEditable())
        return;
    CCellRange range = GetSelectedCellRange();
    CCellID target;
    if (IsValid(range))
        target = range.GetTopLeft();
    else if (IsValid(m_idCurrentCell))
        target = m_idCurrentCell;
    else
        target = GetTopleftNonFixedCell();
    if (!IsValid(target))
        return;

    CGridCellBase* cell = GetCell(target.row, target.col);
    if (cell && cell->IsEditing() && cell->GetEditWnd() && cell->GetEditWnd()->IsKindOf(RUNTIME_CLASS(CEdit)))
    {
        cell->GetEditWnd()->SendMessage(WM_PASTE, 0, 0);
        return;
    }
    COleDataObject clipboard;
    if (clipboard.AttachClipboard())
        PasteTextToGrid(target, &clipboard, TRUE);
}

void CGridCtrl::OnEditSelectAll()
{
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
    SelectAllCells();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
}

BOOL CGridCtrl::CanEditCopy() const
{
    return GetSelectedCount() > 0;
}

BOOL CGridCtrl::CanEditCut() const
{
    return IsEditable() && GetSelectedCount() > 0;
}

BOOL CGridCtrl::CanEditPaste() const
{
    return IsValid(m_idCurrentCell) && IsCellEditable(m_idCurrentCell) && ::IsClipboardFormatAvailable(CF_TEXT);
}

// ---- Drag and drop ---------------------------------------------------------------------------

void CGridCtrl::OnBeginDrag()
{
    if (!m_bAllowDragAndDrop && m_CurCol == -1)
        return;
    COleDataSource* source = m_CurCol >= 0 ? new COleDataSource : CopyTextFromGrid();
    if (!source)
        return;
    CCellID topLeft = GetSelectedCellRange().GetTopLeft();
    SendMessageToParent(topLeft.row, topLeft.col, GVN_BEGINDRAG);
    m_MouseMode = MOUSE_DRAGGING;
    m_bLMouseButtonDown = FALSE;
    DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (effect & DROPEFFECT_MOVE)
        CutSelectedText();
    delete source;
    m_MouseMode = MOUSE_NOTHING;
    m_CurCol = -1;
}

bool CGridCtrl::DropOverColumnHeader(const CCellID& cell) const
{
    return cell.row >= 0 && cell.row < m_nFixedRows && cell.col >= m_nFixedCols && cell.col < m_nCols;
}

DROPEFFECT CGridCtrl::OnDragEnter(COleDataObject* dataObject, DWORD keyState, CPoint point)
{
    m_LastDragOverCell = GetCellFromPt(point, m_CurCol >= 0);
    bool acceptable;
    if (m_CurCol >= 0)
        acceptable = DropOverColumnHeader(m_LastDragOverCell);
    else
        acceptable = m_bAllowDragAndDrop && dataObject && dataObject->IsDataAvailable(CF_TEXT)
                     && IsValid(m_LastDragOverCell) && IsCellEditable(m_LastDragOverCell);
    if (!acceptable)
        return DROPEFFECT_NONE;
    SetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col,
                 GetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col) | GVIS_DROPHILITED);
    RedrawCell(m_LastDragOverCell);
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CGridCtrl::OnDragOver(COleDataObject* dataObject, DWORD keyState, CPoint point)
{
    // A column header is dropped onto another header, so a column drag looks at the fixed rows too.
    CCellID cell = GetCellFromPt(point, m_CurCol >= 0);

    CRect client;
    GetClientRect(client);
    if (point.x <= GetFixedColumnWidth() - 10)
        SendMessage(WM_HSCROLL, point.x < 3 ? SB_PAGELEFT : SB_LINELEFT, 0);
    else if (point.x >= client.right - 10)
        SendMessage(WM_HSCROLL, point.x > client.right - 3 ? SB_PAGERIGHT : SB_LINERIGHT, 0);

    bool acceptable;
    if (m_CurCol >= 0)
        acceptable = DropOverColumnHeader(cell);
    else if (m_bDragRowMode)
        acceptable = IsValid(cell) && cell.row >= m_nFixedRows && cell.col >= m_nFixedCols;
    else
        acceptable = m_bAllowDragAndDrop && IsEditable() && dataObject && dataObject->IsDataAvailable(CF_TEXT)
                     && IsValid(cell);
    if (!acceptable)
    {
        OnDragLeave();
        m_LastDragOverCell = CCellID(-1, -1);
        return DROPEFFECT_NONE;
    }
    if (m_CurCol < 0 && !m_bDragRowMode && !IsCellEditable(cell))
        return DROPEFFECT_NONE;

    if (cell != m_LastDragOverCell)
    {
        if (IsValid(m_LastDragOverCell))
        {
            SetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col,
                         GetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col) & ~GVIS_DROPHILITED);
            RedrawCell(m_LastDragOverCell);
        }
        m_LastDragOverCell = cell;
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_DROPHILITED);
        RedrawCell(cell);
    }
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridCtrl::OnDragLeave()
{
    if (!IsValid(m_LastDragOverCell))
        return;
    SetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col,
                 GetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col) & ~GVIS_DROPHILITED);
    RedrawCell(m_LastDragOverCell);
}

BOOL CGridCtrl::OnDrop(COleDataObject* dataObject, DROPEFFECT, CPoint)
{
    m_MouseMode = MOUSE_NOTHING;
    CCellID target = m_LastDragOverCell;
    // The highlight goes whether the drop is taken or not: no leave follows a drop.
    OnDragLeave();
    if (m_CurCol < 0)
    {
        if (!m_bAllowDragAndDrop || !(IsCellEditable(target) || m_bDragRowMode))
            return FALSE;
    }

    if (m_CurCol < 0)
    {
        if (!m_bDragRowMode)
            return PasteTextToGrid(target, dataObject, FALSE);
        // Rows move only in the owner-data mode; elsewhere nothing moved, and the drop must not be
        // taken for a move (the source would cut the dragged cells).
        if (!m_bVirtualMode)
            return FALSE;
        MoveRow(m_CurRow, target.row);
        Invalidate();
        return TRUE;
    }

    if (target.col == m_CurCol || !DropOverColumnHeader(target))
        return FALSE;
    m_nContentChanges++;
    int entry = m_arColOrder[m_CurCol];
    m_arColOrder.erase(m_arColOrder.begin() + m_CurCol);
    m_arColOrder.insert(m_arColOrder.begin() + target.col, entry);
    m_CurCol = -1;
    Invalidate();
    return TRUE;
}
