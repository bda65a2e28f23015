// The grid's shape: row and column counts, fixed rows and columns, inserting and deleting rows and
// columns, the cell objects and the order vectors.
#include "grid/GridCtrl.h"
#include <typeinfo>
#include "grid/GridCell.h"
#include "framework/Gdi.h"
#include <algorithm>
#include <new>
#include <vector>

namespace {

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

// Makes the cells of new rows as CreateCell does, for a grid of this very kind (no CreateCell of
// a derived grid to call): the default cells' formats are asked once, not through every one of
// millions of cells.
class CGridCtrl::PlainCellMaker
{
public:
    explicit PlainCellMaker(CGridCtrl& grid)
        : m_grid(grid), m_usable(typeid(grid) == typeid(CGridCtrl) && grid.m_pRtcDefault == RUNTIME_CLASS(CGridCell))
    {
        if (!m_usable)
            return;
        for (int fixedRow = 0; fixedRow < 2; fixedRow++)
            for (int fixedCol = 0; fixedCol < 2; fixedCol++)
                m_formats[fixedRow][fixedCol] = grid.GetDefaultCell(fixedRow, fixedCol)->GetFormat();
    }
    bool Usable() const { return m_usable; }
    // The cells of a row, by displayed column, into the row's stored places.
    void MakeRow(int row, GRID_ROW& cells)
    {
        const int columns = m_grid.m_nCols;
        m_made.resize(static_cast<size_t>(columns));
        CGridCell::NewCells(m_made.data(), m_made.size());
        const bool fixedRow = row < m_grid.m_nFixedRows;
        for (int col = 0; col < columns; col++)
        {
            const bool fixedCol = col < m_grid.m_nFixedCols;
            CGridCell* cell = m_made[static_cast<size_t>(col)];
            cell->CGridCell::SetGrid(&m_grid);
            DWORD state = 0;
            if (fixedCol)
                state |= GVIS_FIXED | GVIS_FIXEDCOL;
            if (fixedRow)
                state |= GVIS_FIXED | GVIS_FIXEDROW;
            if (state)
                cell->CGridCellBase::SetState(state);
            cell->CGridCell::SetFormat(m_formats[fixedRow][fixedCol]);
            cells.SetAt(m_grid.StoredColumn(col), cell);
        }
    }

private:
    CGridCtrl& m_grid;
    std::vector<CGridCell*> m_made;
    bool m_usable;
    DWORD m_formats[2][2] = {};
};

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
                PlainCellMaker plain(*this);
                for (int row = startRow; row < nRows; row++)
                {
                    m_arRowHeights.Set(row, m_cellDefault.GetHeight());
                    GRID_ROW* rowObject = new GRID_ROW;
                    m_RowData.SetAt(row, rowObject);
                    rowObject->SetSize(m_nCols);
                    if (plain.Usable())
                        plain.MakeRow(row, *rowObject);
                    else
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
