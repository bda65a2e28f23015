// The heights of a grid's rows (or the widths of its columns) with their running total, kept up to
// date by every change, so the grid's virtual extent is known without adding up every size again.
#pragma once
#include <windows.h>
#include <utility>
#include <vector>

class SizeList
{
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_sizes.size()); }
    UINT operator[](INT_PTR index) const { return m_sizes[static_cast<size_t>(index)]; }
    // The sum of every size held.
    long long Total() const { return m_total; }

    void Set(INT_PTR index, UINT size)
    {
        UINT& held = m_sizes[static_cast<size_t>(index)];
        m_total += static_cast<long long>(size) - static_cast<long long>(held);
        held = size;
    }
    void Grow(INT_PTR index, UINT by) { Set(index, m_sizes[static_cast<size_t>(index)] + by); }
    // New entries are 0; entries cut off leave the total.
    void SetSize(INT_PTR count);
    INT_PTR Add(UINT size)
    {
        m_sizes.push_back(size);
        m_total += size;
        return GetSize() - 1;
    }
    void InsertAt(INT_PTR index, UINT size)
    {
        m_sizes.insert(m_sizes.begin() + index, size);
        m_total += size;
    }
    void RemoveAt(INT_PTR index)
    {
        m_total -= m_sizes[static_cast<size_t>(index)];
        m_sizes.erase(m_sizes.begin() + index);
    }
    void RemoveAll()
    {
        m_sizes.clear();
        m_total = 0;
    }
    void Swap(INT_PTR a, INT_PTR b) { std::swap(m_sizes[static_cast<size_t>(a)], m_sizes[static_cast<size_t>(b)]); }
    // Removes the entries whose flag is set (flags has one per entry) in one pass.
    void RemoveFlagged(const std::vector<bool>& flags);

private:
    std::vector<UINT> m_sizes;
    long long m_total = 0;
};
