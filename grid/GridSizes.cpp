// Row heights and column widths: reading and setting them, the fixed and virtual extents,
// auto-sizing to the cells' texts and expanding columns to fill the window.
#include "grid/GridCtrl.h"
#include "framework/Gdi.h"
#include "grid/CellExtentMeasurer.h"

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
        CSize size;
        if (!measured)
            width = measurer.CellExtent(cell).cx;
        else if (measurer.CellExtentIfWider(cell, width, size) && size.cx > width)
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
    std::vector<int> stored(shown.size());
    for (size_t i = 0; i < shown.size(); i++)
        stored[i] = StoredColumn(shown[i]);
    for (int row = startRow; row <= endRow; row++)
    {
        const GRID_ROW* cells = Row(row);
        if (!cells)
            continue;
        const int held = static_cast<int>(cells->GetSize());
        for (size_t i = 0; i < shown.size(); i++)
        {
            CGridCellBase* cell = stored[i] < held ? cells->GetAt(stored[i]) : nullptr;
            if (!cell)
                continue;
            // Only a cell that may be wider than the widest so far is measured.
            CSize size;
            if (!measured[i])
                widths[i] = measurer.CellExtent(cell).cx;
            else if (measurer.CellExtentIfWider(cell, widths[i], size) && size.cx > widths[i])
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
