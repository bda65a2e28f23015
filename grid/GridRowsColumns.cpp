// The grid's shape: row and column counts, fixed rows and columns, the cell objects, sizes,
// auto-sizing, the modified flag, the order vectors and the per-cell item operations.
#include "grid/GridCtrl.h"
#include "framework/Gdi.h"
#include "grid/CellExtentMeasurer.h"
#include <algorithm>
#include <new>

namespace {

// The row and the column each keep all their bits, so that rows beyond 65,535 never share a key.
SelectedCellKey SelectionKey(int row, int col)
{
    return static_cast<SelectedCellKey>(static_cast<unsigned>(row)) |
           (static_cast<SelectedCellKey>(static_cast<unsigned>(col)) << 32);
}

// How many of the sorted indexes lie below the index.
int CountBelow(const std::vector<int>& sorted, int index)
{
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), index) - sorted.begin());
}

// Re-keys the entries of a selection map after rows were removed (sorted, distinct): the entries of
// removed rows go, and every later row moves up by the number of removed rows above it.
void RemoveSelectionRows(SelectedCellMap& map, const std::vector<int>& removed)
{
    std::vector<CCellID> kept;
    kept.reserve(static_cast<size_t>(map.GetCount()));
    POSITION pos = map.GetStartPosition();
    while (pos)
    {
        SelectedCellKey key;
        CCellID cell;
        map.GetNextAssoc(pos, key, cell);
        if (!std::binary_search(removed.begin(), removed.end(), cell.row))
            kept.push_back(CCellID(cell.row - CountBelow(removed, cell.row), cell.col));
    }
    map.RemoveAll();
    for (CCellID& cell : kept)
        map.SetAt(SelectionKey(cell.row, cell.col), cell);
}

// Shows the wait cursor while an object of this type lives.
class WaitCursor
{
public:
    WaitCursor() : m_old(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_old); }
private:
    HCURSOR m_old;
};

} // namespace

void CGridCtrl::MoveSelectionColumns(SelectedCellMap& map, const std::vector<int>& newColumnOf)
{
    std::vector<CCellID> kept;
    POSITION pos = map.GetStartPosition();
    while (pos)
    {
        SelectedCellKey key;
        CCellID cell;
        map.GetNextAssoc(pos, key, cell);
        if (cell.col >= 0 && cell.col < static_cast<int>(newColumnOf.size()) && newColumnOf[cell.col] >= 0)
            kept.push_back(CCellID(cell.row, newColumnOf[cell.col]));
    }
    map.RemoveAll();
    for (CCellID& cell : kept)
        map.SetAt(SelectionKey(cell.row, cell.col), cell);
}

// ---- Counts ---------------------------------------------------------------------------------

BOOL CGridCtrl::SetRowCount(int nRows)
{
    if (nRows == m_nRows)
        return TRUE;
    if (nRows < 0)
        return FALSE;
    if (!m_bDestroying)
        EndEditing();
    m_idTopLeftCell.col = -1;
    WaitCursor wait;
    if (m_nFixedRows > nRows)
        m_nFixedRows = nRows;
    if (m_idCurrentCell.row >= nRows)
        SetFocusCell(-1, -1);

    int addedRows = nRows - m_nRows;
    try
    {
        if (addedRows < 0)
        {
            if (!m_bVirtualMode)
            {
                for (int row = nRows; row < m_nRows; row++)
                {
                    GRID_ROW* rowObject = Row(row);
                    if (!rowObject)
                        continue;
                    for (int col = 0; col < m_nCols; col++)
                        DestroyCell(row, col);
                    delete rowObject;
                    m_RowData.SetAt(row, nullptr);
                }
                m_RowData.SetSize(nRows);
            }
            m_nRows = nRows;
            m_arRowHeights.SetSize(nRows);
        }
        else
        {
            int startRow = m_nRows;
            m_arRowHeights.SetSize(nRows);
            if (m_bVirtualMode)
            {
                m_nRows = nRows;
                for (int row = startRow; row < nRows; row++)
                    m_arRowHeights.Set(row, m_cellDefault.GetHeight());
                ResetVirtualOrder();
            }
            else
            {
                m_RowData.SetSize(nRows);
                for (int row = startRow; row < nRows; row++)
                {
                    m_arRowHeights.Set(row, m_cellDefault.GetHeight());
                    GRID_ROW* rowObject = new GRID_ROW;
                    m_RowData.SetAt(row, rowObject);
                    rowObject->SetSize(m_nCols);
                    for (int col = 0; col < m_nCols; col++)
                        rowObject->SetAt(StoredColumn(col), CreateCell(row, col));
                    m_nRows++;
                }
            }
        }
    }
    catch (const std::bad_alloc&)
    {
        m_RowData.SetSize(m_nRows);
        m_arRowHeights.SetSize(m_nRows);
        return FALSE;
    }

    SetModified(TRUE, -1, -1);
    ResetScrollBars();
    Refresh();
    return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols == m_nCols)
        return TRUE;
    if (nCols < 0)
        return FALSE;
    if (!m_bDestroying)
        EndEditing();
    m_idTopLeftCell.col = -1;
    WaitCursor wait;
    if (m_nFixedCols > nCols)
        m_nFixedCols = nCols;
    if (m_idCurrentCell.col >= nCols)
        SetFocusCell(-1, -1);

    int oldCols = m_nCols;
    try
    {
        if (nCols < oldCols && !m_bVirtualMode)
        {
            // The cells that go are those of the stored columns nCols and above, wherever a header
            // drag has put them on screen.
            std::vector<int> displayOf(oldCols);
            for (int col = 0; col < oldCols; col++)
                displayOf[m_arColOrder[col]] = col;
            for (int row = 0; row < m_nRows; row++)
            {
                GRID_ROW* rowObject = Row(row);
                if (!rowObject)
                    continue;
                for (int stored = nCols; stored < oldCols; stored++)
                {
                    SetItemState(row, displayOf[stored], 0);
                    delete rowObject->GetAt(stored);
                    rowObject->SetAt(stored, nullptr);
                }
            }
        }
        m_arColWidths.SetSize(nCols);
        for (int row = 0; row < m_nRows && !m_bVirtualMode; row++)
        {
            GRID_ROW* rowObject = Row(row);
            if (rowObject)
                rowObject->SetSize(nCols);
        }
        // The order starts afresh, so the selection is keyed anew by stored column.
        std::vector<int> newColumnOf(m_arColOrder.size());
        for (size_t col = 0; col < m_arColOrder.size(); col++)
            newColumnOf[col] = m_arColOrder[col] < nCols ? m_arColOrder[col] : -1;
        MoveSelectionColumns(m_SelectedCellMap, newColumnOf);
        MoveSelectionColumns(m_PrevSelectedCellMap, newColumnOf);
        m_arColOrder.resize(nCols);
        for (int col = 0; col < nCols; col++)
            m_arColOrder[col] = col;
        m_nCols = nCols;
        for (int col = oldCols; col < nCols; col++)
        {
            m_arColWidths.Set(col, m_cellFixedColDef.GetWidth());
            for (int row = 0; row < m_nRows && !m_bVirtualMode; row++)
            {
                GRID_ROW* rowObject = Row(row);
                if (rowObject)
                    rowObject->SetAt(col, CreateCell(row, col));
            }
        }
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }

    SetModified(TRUE, -1, -1);
    ResetScrollBars();
    Refresh();
    return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int nFixedRows)
{
    if (m_nFixedRows == nFixedRows)
        return TRUE;
    if (nFixedRows < 0)
        return FALSE;
    ResetSelectedRange();
    if (nFixedRows > GetRowCount() && !SetRowCount(nFixedRows))
        return FALSE;
    if (m_idCurrentCell.row < nFixedRows)
        SetFocusCell(-1, -1);

    if (!m_bVirtualMode)
    {
        if (nFixedRows > m_nFixedRows)
        {
            for (int row = m_nFixedRows; row < nFixedRows; row++)
            {
                for (int col = 0; col < m_nCols; col++)
                {
                    SetItemState(row, col, GetItemState(row, col) | GVIS_FIXED | GVIS_FIXEDROW);
                    SetItemBkColour(row, col, CLR_DEFAULT);
                    SetItemFgColour(row, col, CLR_DEFAULT);
                }
            }
        }
        else
        {
            for (int row = nFixedRows; row < m_nFixedRows; row++)
            {
                for (int col = 0; col < m_nCols; col++)
                {
                    if (col < m_nFixedCols)
                    {
                        SetItemState(row, col, GetItemState(row, col) & ~GVIS_FIXEDROW);
                    }
                    else
                    {
                        SetItemState(row, col, GetItemState(row, col) & ~(GVIS_FIXED | GVIS_FIXEDROW));
                        SetItemBkColour(row, col, CLR_DEFAULT);
                        SetItemFgColour(row, col, CLR_DEFAULT);
                    }
                }
            }
        }
    }
    m_nFixedRows = nFixedRows;
    m_idTopLeftCell.col = -1;
    Refresh();
    return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int nFixedCols)
{
    if (m_nFixedCols == nFixedCols)
        return TRUE;
    if (nFixedCols < 0)
        return FALSE;
    ResetSelectedRange();
    if (nFixedCols > GetColumnCount() && !SetColumnCount(nFixedCols))
        return FALSE;
    if (m_idCurrentCell.col < nFixedCols)
        SetFocusCell(-1, -1);

    if (!m_bVirtualMode)
    {
        if (nFixedCols > m_nFixedCols)
        {
            for (int row = 0; row < m_nRows; row++)
            {
                for (int col = m_nFixedCols; col < nFixedCols; col++)
                {
                    SetItemState(row, col, GetItemState(row, col) | GVIS_FIXED | GVIS_FIXEDCOL);
                    SetItemBkColour(row, col, CLR_DEFAULT);
                    SetItemFgColour(row, col, CLR_DEFAULT);
                }
            }
        }
        else
        {
            for (int row = 0; row < m_nRows; row++)
            {
                for (int col = nFixedCols; col < m_nFixedCols; col++)
                {
                    if (row < m_nFixedRows)
                    {
                        SetItemState(row, col, GetItemState(row, col) & ~GVIS_FIXEDCOL);
                    }
                    else
                    {
                        SetItemState(row, col, GetItemState(row, col) & ~(GVIS_FIXED | GVIS_FIXEDCOL));
                        SetItemBkColour(row, col, CLR_DEFAULT);
                        SetItemFgColour(row, col, CLR_DEFAULT);
                    }
                }
            }
        }
    }
    m_nFixedCols = nFixedCols;
    m_idTopLeftCell.col = -1;
    Refresh();
    return TRUE;
}

// ---- Inserting and deleting ------------------------------------------------------------------

int CGridCtrl::InsertRow(LPCTSTR heading, int nRow)
{
    if (nRow >= 0 && (nRow < m_nFixedRows || nRow >= m_nRows))
        return -1;
    if (nRow < -1)
        return -1;
    EndEditing();   // the rows below move, and an open editor must not lose its cell
    ResetSelectedRange();
    if (m_nCols < 1 && !SetColumnCount(1))
        return -1;
    m_idTopLeftCell.col = -1;

    try
    {
        if (nRow < 0)
        {
            nRow = m_nRows;
            m_arRowHeights.Add(0);
            if (m_bVirtualMode)
                m_arRowOrder.push_back(nRow);
            else
                m_RowData.Add(new GRID_ROW);
        }
        else
        {
            m_arRowHeights.InsertAt(nRow, 0);
            if (!m_bVirtualMode)
                m_RowData.InsertAt(nRow, new GRID_ROW);
        }
        m_nRows++;
        if (m_bVirtualMode)
        {
            ResetVirtualOrder();
        }
        else
        {
            GRID_ROW* rowObject = Row(nRow);
            if (!rowObject)
                return -1;
            rowObject->SetSize(m_nCols);
            for (int col = 0; col < m_nCols; col++)
                rowObject->SetAt(StoredColumn(col), CreateCell(nRow, col));
        }
    }
    catch (const std::bad_alloc&)
    {
        return -1;
    }

    CString text = heading ? heading : L"";
    SetItemText(nRow, 0, text);
    if (text.IsEmpty())
        m_arRowHeights.Set(nRow, m_cellFixedRowDef.GetHeight());
    else
        m_arRowHeights.Set(nRow, GetTextExtent(nRow, 0, text).cy);

    if (m_idCurrentCell.row != -1 && m_idCurrentCell.row >= nRow && nRow < m_nRows - 1)
        m_idCurrentCell.row++;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return nRow;
}

int CGridCtrl::InsertColumn(LPCTSTR heading, UINT format, int nColumn)
{
    if (nColumn >= 0 && (nColumn < m_nFixedCols || nColumn > m_nCols))
        return -1;
    if (nColumn < -1)
        return -1;
    if (nColumn < 0)
        nColumn = m_nCols;
    EndEditing();   // the columns to the right move
    ResetSelectedRange();
    if (m_nRows < 1 && !SetRowCount(1))
        return -1;
    m_idTopLeftCell.col = -1;

    try
    {
        if (nColumn == m_nCols)
        {
            m_arColWidths.Add(0);
            m_arColOrder.push_back(m_nCols);
            for (int row = 0; row < m_nRows && !m_bVirtualMode; row++)
            {
                GRID_ROW* rowObject = Row(row);
                if (!rowObject)
                    return -1;
                rowObject->Add(CreateCell(row, nColumn));
            }
        }
        else
        {
            m_arColWidths.InsertAt(nColumn, 0);
            m_arColOrder.push_back(0);
            if (nColumn == 0)
            {
                for (size_t i = m_arColOrder.size() - 1; i > 0; i--)
                    m_arColOrder[i] = m_arColOrder[i - 1] + 1;
                m_arColOrder[0] = 0;
            }
            else
            {
                for (size_t i = 0; i < m_arColOrder.size(); i++)
                    m_arColOrder[i] = static_cast<int>(i);
            }
            for (int row = 0; row < m_nRows && !m_bVirtualMode; row++)
            {
                GRID_ROW* rowObject = Row(row);
                if (!rowObject)
                    return -1;
                rowObject->InsertAt(nColumn, CreateCell(row, nColumn));
            }
        }
    }
    catch (const std::bad_alloc&)
    {
        return -1;
    }
    m_nCols++;

    SetItemText(0, nColumn, heading);
    for (int row = 0; row < m_nRows; row++)
        SetItemFormat(row, nColumn, format);
    m_arColWidths.Set(StoredColumn(nColumn), GetTextExtent(0, nColumn, heading).cx);

    if (m_idCurrentCell.col != -1 && m_idCurrentCell.col >= nColumn && nColumn < m_nCols - 1)
        m_idCurrentCell.col++;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return nColumn;
}

BOOL CGridCtrl::DeleteRow(int nRow)
{
    if (nRow < 0 || nRow >= m_nRows)
        return FALSE;
    if (!m_bDestroying)
        EndEditing();
    if (!m_bVirtualMode)
    {
        GRID_ROW* rowObject = Row(nRow);
        if (!rowObject)
            return FALSE;
        for (int col = 0; col < m_nCols; col++)
            DestroyCell(nRow, col);
        delete rowObject;
        m_RowData.RemoveAt(nRow);
    }
    else
    {
        AdjustRowOrder(nRow, -1);
    }
    // The selection follows the rows that move up into the gap.
    RemoveSelectionRows(m_SelectedCellMap, {nRow});
    RemoveSelectionRows(m_PrevSelectedCellMap, {nRow});

    m_arRowHeights.RemoveAt(nRow);
    m_nRows--;
    if (nRow < m_nFixedRows)
        m_nFixedRows--;
    if (m_idCurrentCell.row == nRow)
        m_idCurrentCell.row = m_idCurrentCell.col = -1;
    else if (m_idCurrentCell.row > nRow)
        m_idCurrentCell.row--;
    if (m_SelectionStartCell.row > nRow)
        m_SelectionStartCell.row--;
    m_idTopLeftCell.col = -1;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return TRUE;
}

int CGridCtrl::DeleteRows(const std::vector<int>& rows)
{
    std::vector<int> gone;
    gone.reserve(rows.size());
    for (int row : rows)
        if (row >= 0 && row < m_nRows && (m_bVirtualMode || Row(row)))
            gone.push_back(row);
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    if (gone.empty())
        return 0;
    if (!m_bDestroying)
        EndEditing();

    std::vector<bool> flagged(static_cast<size_t>(m_nRows), false);
    for (int row : gone)
        flagged[static_cast<size_t>(row)] = true;
    if (!m_bVirtualMode)
    {
        for (int row : gone)
        {
            GRID_ROW* rowObject = Row(row);
            for (int col = 0; col < m_nCols; col++)
                DestroyCell(row, col);
            delete rowObject;
        }
        // The rows left close up in one pass.
        INT_PTR kept = 0;
        for (INT_PTR row = 0; row < m_RowData.GetSize(); row++)
            if (row >= static_cast<INT_PTR>(flagged.size()) || !flagged[static_cast<size_t>(row)])
                m_RowData.SetAt(kept++, m_RowData[row]);
        m_RowData.SetSize(kept);
    }
    else
    {
        for (auto row = gone.rbegin(); row != gone.rend(); ++row)
            AdjustRowOrder(*row, -1);
    }
    RemoveSelectionRows(m_SelectedCellMap, gone);
    RemoveSelectionRows(m_PrevSelectedCellMap, gone);
    m_arRowHeights.RemoveFlagged(flagged);

    // Each index left moves up by the number of deleted rows before it.
    m_nRows -= static_cast<int>(gone.size());
    m_nFixedRows -= CountBelow(gone, m_nFixedRows);
    if (m_idCurrentCell.row >= 0 && std::binary_search(gone.begin(), gone.end(), m_idCurrentCell.row))
        m_idCurrentCell.row = m_idCurrentCell.col = -1;
    else
        m_idCurrentCell.row -= CountBelow(gone, m_idCurrentCell.row);
    m_SelectionStartCell.row -= CountBelow(gone, m_SelectionStartCell.row);
    m_idTopLeftCell.col = -1;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return static_cast<int>(gone.size());
}

BOOL CGridCtrl::DeleteColumn(int nColumn)
{
    if (nColumn < 0 || nColumn >= m_nCols)
        return FALSE;
    if (!m_bDestroying)
        EndEditing();
    ResetSelectedRange();
    int stored = StoredColumn(nColumn);
    if (!m_bVirtualMode)
    {
        for (int row = 0; row < m_nRows; row++)
        {
            GRID_ROW* rowObject = Row(row);
            if (!rowObject)
                return FALSE;
            DestroyCell(row, nColumn);
            rowObject->RemoveAt(stored);
        }
    }
    m_arColWidths.RemoveAt(stored);
    m_arColOrder.erase(m_arColOrder.begin() + nColumn);
    for (int& entry : m_arColOrder)
        if (entry > stored)
            entry--;
    m_nCols--;
    if (nColumn < m_nFixedCols)
        m_nFixedCols--;
    if (m_idCurrentCell.col == nColumn)
        m_idCurrentCell.row = m_idCurrentCell.col = -1;
    else if (m_idCurrentCell.col > nColumn)
        m_idCurrentCell.col--;
    m_idTopLeftCell.col = -1;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return TRUE;
}

BOOL CGridCtrl::DeleteAllItems()
{
    if (!m_bDestroying)
        EndEditing();
    ResetSelectedRange();
    m_arColWidths.RemoveAll();
    m_arRowHeights.RemoveAll();
    if (!m_bVirtualMode)
    {
        for (int row = 0; row < m_RowData.GetSize(); row++)
        {
            GRID_ROW* rowObject = m_RowData[row];
            if (!rowObject)
                continue;
            for (int stored = 0; stored < rowObject->GetSize(); stored++)
                delete rowObject->GetAt(stored);
            delete rowObject;
        }
        m_RowData.RemoveAll();
    }
    else
    {
        m_arRowOrder.clear();
    }
    m_arColOrder.clear();
    m_SelectedCellMap.RemoveAll();
    m_PrevSelectedCellMap.RemoveAll();
    m_idCurrentCell = CCellID(-1, -1);
    m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
    m_idTopLeftCell.col = -1;
    ResetScrollBars();
    SetModified(TRUE, -1, -1);
    return TRUE;
}

CGridCellBase* CGridCtrl::CreateCell(int nRow, int nCol)
{
    if (!m_pRtcDefault || !m_pRtcDefault->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase)))
        return nullptr;
    CGridCellBase* cell = static_cast<CGridCellBase*>(m_pRtcDefault->CreateObject());
    if (!cell)
        return nullptr;
    cell->SetGrid(this);
    cell->SetCoords(nRow, nCol);
    if (nCol < m_nFixedCols)
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDCOL);
    if (nRow < m_nFixedRows)
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDROW);
    cell->SetFormat(cell->GetDefaultCell()->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int nRow, int nCol)
{
    SetItemState(nRow, nCol, 0);
    GRID_ROW* rowObject = Row(nRow);
    if (!rowObject || nCol < 0 || nCol >= static_cast<int>(m_arColOrder.size()))
        return;
    int stored = StoredColumn(nCol);
    if (stored >= rowObject->GetSize())
        return;
    delete rowObject->GetAt(stored);
    rowObject->SetAt(stored, nullptr);
}

void CGridCtrl::AdjustRowOrder(int row, int delta)
{
    if (!m_bVirtualMode)
        return;
    for (int& entry : m_arRowOrder)
        if (entry > row)
            entry += delta;
    if (delta < 1)
    {
        if (row >= 0 && row < static_cast<int>(m_arRowOrder.size()))
            m_arRowOrder.erase(m_arRowOrder.begin() + row);
    }
    else if (row >= 0 && row <= static_cast<int>(m_arRowOrder.size()))
    {
        m_arRowOrder.insert(m_arRowOrder.begin() + row, row);
    }
}

void CGridCtrl::ResetVirtualOrder()
{
    m_arRowOrder.resize(m_nRows);
    for (int i = 0; i < m_nRows; i++)
        m_arRowOrder[i] = i;
}

void CGridCtrl::MoveRow(int from, int to)
{
    if (!m_bVirtualMode)
        return;
    int count = static_cast<int>(m_arRowOrder.size());
    if (from < 0 || from >= count || to < 0 || to >= count)
        return;
    int entry = m_arRowOrder[from];
    m_arRowOrder.erase(m_arRowOrder.begin() + from);
    int target = from < to ? to : to + 1;
    if (target > static_cast<int>(m_arRowOrder.size()))
        target = static_cast<int>(m_arRowOrder.size());
    m_arRowOrder.insert(m_arRowOrder.begin() + target, entry);
}

// ---- Sizes -----------------------------------------------------------------------------------

int CGridCtrl::GetRowHeight(int nRow) const
{
    if (nRow < 0 || nRow >= m_nRows)
        return -1;
    return static_cast<int>(m_arRowHeights[nRow]);
}

int CGridCtrl::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= m_nCols)
        return -1;
    return static_cast<int>(m_arColWidths[StoredColumn(nCol)]);
}

BOOL CGridCtrl::SetRowHeight(int nRow, int height)
{
    if (nRow < 0 || nRow >= m_nRows || height < 0)
        return FALSE;
    m_arRowHeights.Set(nRow, static_cast<UINT>(height));
    ResetScrollBars();
    return TRUE;
}

BOOL CGridCtrl::SetColumnWidth(int nCol, int width)
{
    if (nCol < 0 || nCol >= m_nCols || width < 0)
        return FALSE;
    m_arColWidths.Set(StoredColumn(nCol), static_cast<UINT>(width));
    ResetScrollBars();
    return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const
{
    int height = 0;
    for (int row = 0; row < m_nFixedRows; row++)
        height += GetRowHeight(row);
    return height;
}

int CGridCtrl::GetFixedColumnWidth() const
{
    int width = 0;
    for (int col = 0; col < m_nFixedCols; col++)
        width += GetColumnWidth(col);
    return width;
}

long CGridCtrl::GetVirtualHeight() const
{
    return static_cast<long>(m_arRowHeights.Total());
}

long CGridCtrl::GetVirtualWidth() const
{
    return static_cast<long>(m_arColWidths.Total());
}

BOOL CGridCtrl::AutoSizeColumn(int nCol, UINT autoSizeStyle, BOOL resetScroll)
{
    if (nCol < 0 || nCol >= m_nCols || GetColumnWidth(nCol) <= 0)
        return FALSE;
    CDC* pDC = GetDC();
    if (!pDC)
        return FALSE;
    {
        CellExtentMeasurer measurer(pDC);
        AutoSizeColumnOn(measurer, nCol, autoSizeStyle);
    }
    ReleaseDC(pDC);
    if (resetScroll)
        ResetScrollBars();
    return TRUE;
}

void CGridCtrl::AutoSizeColumnOn(CellExtentMeasurer& measurer, int nCol, UINT autoSizeStyle)
{
    if (autoSizeStyle == 0)
        autoSizeStyle = static_cast<UINT>(m_nAutoSizeColumnStyle);
    int startRow = (autoSizeStyle & GVS_HEADER) ? 0 : m_nFixedRows;
    int endRow = (autoSizeStyle & GVS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(startRow, nCol, endRow, nCol));
    int width = 0;
    bool measured = false;
    for (int row = startRow; row <= endRow; row++)
    {
        CGridCellBase* cell = GetCell(row, nCol);
        if (!cell)
            continue;
        CSize size = measurer.CellExtent(cell);
        if (!measured || size.cx > width)
            width = size.cx;
        measured = true;
    }
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(-1, -1, -1, -1));
    // Without a row to measure the column keeps the width it has.
    if (measured)
        m_arColWidths.Set(StoredColumn(nCol), static_cast<UINT>(width));
}

void CGridCtrl::AutoSizeColumns(UINT autoSizeStyle)
{
    // One DC and one measurer for every column: the characters' widths measured for one column
    // serve the next.
    CDC* pDC = GetDC();
    if (pDC)
    {
        {
            CellExtentMeasurer measurer(pDC);
            if (m_bVirtualMode)
            {
                for (int col = 0; col < m_nCols; col++)
                    if (GetColumnWidth(col) > 0)
                        AutoSizeColumnOn(measurer, col, autoSizeStyle);
            }
            else
            {
                AutoSizeColumnsByRows(measurer, autoSizeStyle);
            }
        }
        ReleaseDC(pDC);
    }
    ResetScrollBars();
}

void CGridCtrl::AutoSizeColumnsByRows(CellExtentMeasurer& measurer, UINT autoSizeStyle)
{
    if (autoSizeStyle == 0)
        autoSizeStyle = static_cast<UINT>(m_nAutoSizeColumnStyle);
    int startRow = (autoSizeStyle & GVS_HEADER) ? 0 : m_nFixedRows;
    int endRow = (autoSizeStyle & GVS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    // The shown columns by where their cells are stored; a hidden column keeps its width.
    std::vector<int> shown;
    for (int col = 0; col < m_nCols; col++)
        if (GetColumnWidth(col) > 0)
            shown.push_back(col);
    // Row by row, as the cells lie in memory; each column keeps the widest extent it met.
    std::vector<int> widths(shown.size(), 0);
    std::vector<bool> measured(shown.size(), false);
    for (int row = startRow; row <= endRow; row++)
    {
        for (size_t i = 0; i < shown.size(); i++)
        {
            CGridCellBase* cell = GetCell(row, shown[i]);
            if (!cell)
                continue;
            CSize size = measurer.CellExtent(cell);
            if (!measured[i] || size.cx > widths[i])
                widths[i] = size.cx;
            measured[i] = true;
        }
    }
    // Without a row to measure a column keeps the width it has.
    for (size_t i = 0; i < shown.size(); i++)
        if (measured[i])
            m_arColWidths.Set(StoredColumn(shown[i]), static_cast<UINT>(widths[i]));
}

BOOL CGridCtrl::AutoSizeRow(int nRow, BOOL resetScroll)
{
    if (nRow < 0 || nRow >= m_nRows || GetRowHeight(nRow) < 1)
        return FALSE;
    CDC* pDC = GetDC();
    if (!pDC)
        return FALSE;
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(nRow, 0, nRow, m_nCols - 1));
    int height = 0;
    bool measured = false;
    {
        CellExtentMeasurer measurer(pDC);
        for (int col = 0; col < m_nCols; col++)
        {
            CGridCellBase* cell = GetCell(nRow, col);
            if (!cell)
                continue;
            CSize size = measurer.CellExtent(cell);
            if (!measured || size.cy > height)
                height = size.cy;
            measured = true;
        }
    }
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(-1, -1, -1, -1));
    ReleaseDC(pDC);
    if (measured)
        m_arRowHeights.Set(nRow, static_cast<UINT>(height));
    if (resetScroll)
        ResetScrollBars();
    return TRUE;
}

void CGridCtrl::ExpandColumnsToFit(BOOL expandFixed)
{
    if (m_nCols <= 0 || (!expandFixed && m_nCols <= m_nFixedCols))
        return;
    EnableScrollBars(SB_HORZ, FALSE);
    int first = expandFixed ? 0 : m_nFixedCols;
    int count = 0;
    for (int col = first; col < m_nCols; col++)
        if (GetColumnWidth(col) != 0)
            count++;
    if (count > 0)
    {
        CRect client;
        GetClientRect(client);
        long diff = client.Width() - GetVirtualWidth();
        long share = diff / count;
        long remainder = (diff < 0 ? -diff : diff) % count;
        for (int col = first; col < m_nCols; col++)
        {
            int width = GetColumnWidth(col);
            if (width == 0)
                continue;
            long changed = width + share;
            if (remainder > 0)
            {
                changed += diff < 1 ? -1 : 1;
                remainder--;
            }
            // A shown column stays shown: it shrinks to one pixel at the least.
            m_arColWidths.Set(StoredColumn(col), static_cast<UINT>(changed < 1 ? 1 : changed));
        }
    }
    Refresh();
    ResetScrollBars();
}

void CGridCtrl::ExpandLastColumn()
{
    if (m_nCols <= 0)
        return;
    int last = m_nCols - 1;
    while (last >= 0 && GetColumnWidth(last) == 0)
        last--;
    if (last <= 0)
        return;
    EnableScrollBars(SB_HORZ, FALSE);
    CRect client;
    GetClientRect(client);
    long diff = client.Width() - GetVirtualWidth();
    if (diff > 0)
    {
        m_arColWidths.Grow(StoredColumn(last), static_cast<UINT>(diff));
        Refresh();
    }
    ResetScrollBars();
}

CSize CGridCtrl::GetTextExtent(int nRow, int nCol, LPCTSTR text)
{
    CGridCellBase* cell = GetCell(nRow, nCol);
    if (!cell)
        return CSize(0, 0);
    return cell->GetTextExtent(text, nullptr);
}

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
