// Sorting the non-fixed rows by one column: an in-place quicksort over the row store that swaps
// whole rows (cells and heights). The comparison function belongs to the owner and may itself sort
// the same grid again, so the sort reads the rows afresh at every step and never steps outside the
// range it was given, whatever the comparison did to the rows meanwhile.
#include "grid/GridCtrl.h"
#include <algorithm>

namespace {

class WaitCursorWhile
{
public:
    WaitCursorWhile() : m_old(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursorWhile() { ::SetCursor(m_old); }
private:
    HCURSOR m_old;
};

} // namespace

int CALLBACK CGridCtrl::CompareCellText(LPARAM cell1, LPARAM cell2, LPARAM)
{
    CGridCellBase* first = reinterpret_cast<CGridCellBase*>(cell1);
    CGridCellBase* second = reinterpret_cast<CGridCellBase*>(cell2);
    if (!first || !second)
        return 0;
    LPCTSTR text1 = first->GetText();
    LPCTSTR text2 = second->GetText();
    bool empty1 = !text1 || !*text1;
    bool empty2 = !text2 || !*text2;
    if (empty1 && empty2)
        return 0;
    // Empty texts go last in both directions.
    CGridCtrl* grid = first->GetGrid();
    BOOL ascending = grid ? grid->GetSortAscending() : TRUE;
    if (empty1)
        return ascending ? 255 : -255;
    if (empty2)
        return ascending ? -255 : 255;
    int result = wcscmp(text1, text2);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

BOOL CGridCtrl::SortTextItems(int nCol, BOOL ascending, LPARAM data)
{
    return SortItems(CompareCellText, nCol, ascending, data);
}

BOOL CGridCtrl::SortItems(int nCol, BOOL ascending, LPARAM data)
{
    return SortItems(m_pfnCompare ? m_pfnCompare : CompareCellText, nCol, ascending, data);
}

BOOL CGridCtrl::SortItems(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data)
{
    bool nested = m_nSortDepth > 0;
    if (nested && m_bNestedSortDone && m_lastNestedSort.compare == compare && m_lastNestedSort.col == nCol
        && m_lastNestedSort.ascending == ascending && m_lastNestedSort.data == data
        && m_lastNestedSort.changes == m_nContentChanges)
        return m_lastNestedSort.result;   // the rows are already in this order

    EndEditing();   // an open editor must not outlive the order of the rows it was opened on
    SetSortColumn(nCol);
    m_bAscending = ascending;
    ResetSelectedRange();
    SetFocusCell(-1, -1);
    BOOL result = SortItems(compare, nCol, ascending, data, m_nFixedRows, -1);
    if (nested)
    {
        m_lastNestedSort = SortRequest{compare, nCol, ascending, data, result, m_nContentChanges};
        m_bNestedSortDone = true;
    }
    return result;
}

BOOL CGridCtrl::SortItems(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data, int low, int high)
{
    if (nCol >= m_nCols)
        return FALSE;
    if (high == -1)
        high = m_nRows - 1;
    if (high <= low)
        return FALSE;
    if (low < 0 || high >= m_nRows)
        return FALSE;

    if (m_bVirtualMode)
    {
        if (!m_pfnVirtualCompare || static_cast<int>(m_arRowOrder.size()) <= m_nFixedRows)
            return TRUE;
        // A copy is sorted, so that a comparison that touches the grid cannot disturb the sort.
        std::vector<int> order(m_arRowOrder.begin() + m_nFixedRows, m_arRowOrder.end());
        PVIRTUALCOMPARE rowCompare = m_pfnVirtualCompare;
        if (ascending)
            std::stable_sort(order.begin(), order.end(), [rowCompare](int a, int b) { return rowCompare(a, b); });
        else
            std::stable_sort(order.begin(), order.end(), [rowCompare](int a, int b) { return rowCompare(b, a); });
        if (static_cast<int>(m_arRowOrder.size()) == static_cast<int>(order.size()) + m_nFixedRows)
            std::copy(order.begin(), order.end(), m_arRowOrder.begin() + m_nFixedRows);
        return TRUE;
    }

    if (m_nSortDepth++ == 0)
        m_bNestedSortDone = false;
    SortRowRange(compare, nCol, ascending, data, low, high);
    m_nSortDepth--;
    return TRUE;
}

void CGridCtrl::SwapRows(int a, int b)
{
    GRID_ROW* rowA = Row(a);
    GRID_ROW* rowB = Row(b);
    if (!rowA || !rowB)
        return;
    // Exchanging the row objects exchanges every cell pointer of the two rows at once.
    m_nContentChanges++;
    m_RowData.SetAt(a, rowB);
    m_RowData.SetAt(b, rowA);
    m_arRowHeights.Swap(a, b);
}

void CGridCtrl::SortRowRange(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data, int low, int high)
{
    // The smaller part is sorted by recursion and the larger one by the loop, which keeps the
    // depth of recursion logarithmic.
    while (low < high)
    {
        // A comparison that removed rows or columns leaves nothing to sort safely.
        if (high >= m_nRows || nCol >= m_nCols)
            return;
        auto cellAt = [this, nCol](int row) -> LPARAM {
            return row < m_nRows ? reinterpret_cast<LPARAM>(GetCell(row, nCol)) : 0;
        };
        LPARAM pivot = cellAt((low + high) / 2);
        int lo = low;
        int hi = high;
        while (lo <= hi)
        {
            if (ascending)
            {
                while (lo < high && compare(cellAt(lo), pivot, data) < 0)
                    ++lo;
                while (hi > low && compare(cellAt(hi), pivot, data) > 0)
                    --hi;
            }
            else
            {
                while (lo < high && compare(cellAt(lo), pivot, data) > 0)
                    ++lo;
                while (hi > low && compare(cellAt(hi), pivot, data) < 0)
                    --hi;
            }
            if (lo <= hi)
            {
                if (compare(cellAt(lo), cellAt(hi), data) != 0)
                    SwapRows(lo, hi);
                ++lo;
                --hi;
            }
        }
        if (hi - low < high - lo)
        {
            if (low < hi)
                SortRowRange(compare, nCol, ascending, data, low, hi);
            low = lo;
        }
        else
        {
            if (lo < high)
                SortRowRange(compare, nCol, ascending, data, lo, high);
            high = hi;
        }
    }
}
