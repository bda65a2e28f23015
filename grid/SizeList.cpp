// Resizing and batch removal of a size list, keeping its running total.
#include "grid/SizeList.h"

void SizeList::SetSize(INT_PTR count)
{
    const size_t wanted = count < 0 ? 0 : static_cast<size_t>(count);
    for (size_t i = wanted; i < m_sizes.size(); i++)
        m_total -= m_sizes[i];
    m_sizes.resize(wanted, 0);
}

void SizeList::RemoveFlagged(const std::vector<bool>& flags)
{
    size_t kept = 0;
    for (size_t i = 0; i < m_sizes.size(); i++)
    {
        if (i < flags.size() && flags[i])
        {
            m_total -= m_sizes[i];
            continue;
        }
        m_sizes[kept++] = m_sizes[i];
    }
    m_sizes.resize(kept);
}
