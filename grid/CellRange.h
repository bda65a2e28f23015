// Cell coordinates and rectangular cell ranges of the grid. Both are plain values; (-1, -1) and
// (-1, -1, -1, -1) stand for "no cell" and "no range".
#pragma once

class CCellID
{
public:
    int row;
    int col;

    explicit CCellID(int nRow = -1, int nCol = -1) : row(nRow), col(nCol) {}

    int IsValid() const { return row >= 0 && col >= 0; }
    int operator==(const CCellID& other) const { return row == other.row && col == other.col; }
    int operator!=(const CCellID& other) const { return !(*this == other); }
};

class CCellRange
{
public:
    CCellRange(int minRow = -1, int minCol = -1, int maxRow = -1, int maxCol = -1)
    {
        Set(minRow, minCol, maxRow, maxCol);
    }

    void Set(int minRow = -1, int minCol = -1, int maxRow = -1, int maxCol = -1)
    {
        m_nMinRow = minRow;
        m_nMinCol = minCol;
        m_nMaxRow = maxRow;
        m_nMaxCol = maxCol;
    }

    int IsValid() const
    {
        return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0
            && m_nMinRow <= m_nMaxRow && m_nMinCol <= m_nMaxCol;
    }
    int InRange(int row, int col) const
    {
        return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
    }
    int InRange(const CCellID& cell) const { return InRange(cell.row, cell.col); }
    int Count() const { return (m_nMaxRow - m_nMinRow + 1) * (m_nMaxCol - m_nMinCol + 1); }
    CCellID GetTopLeft() const { return CCellID(m_nMinRow, m_nMinCol); }

    int GetMinRow() const { return m_nMinRow; }
    void SetMinRow(int row) { m_nMinRow = row; }
    int GetMinCol() const { return m_nMinCol; }
    void SetMinCol(int col) { m_nMinCol = col; }
    int GetMaxRow() const { return m_nMaxRow; }
    void SetMaxRow(int row) { m_nMaxRow = row; }
    int GetMaxCol() const { return m_nMaxCol; }
    void SetMaxCol(int col) { m_nMaxCol = col; }
    int GetRowSpan() const { return m_nMaxRow - m_nMinRow + 1; }
    int GetColSpan() const { return m_nMaxCol - m_nMinCol + 1; }

    int operator==(const CCellRange& o) const
    {
        return m_nMinRow == o.m_nMinRow && m_nMinCol == o.m_nMinCol && m_nMaxRow == o.m_nMaxRow
            && m_nMaxCol == o.m_nMaxCol;
    }
    int operator!=(const CCellRange& o) const { return !(*this == o); }

protected:
    int m_nMinRow;
    int m_nMinCol;
    int m_nMaxRow;
    int m_nMaxCol;
};
