// The sorted cross-reference store: entries are appended, then merged in one sort at the next lookup.
#include "viewer/PdfXref.h"
#include <algorithm>

namespace pdf {

namespace {
bool ByNumber(const XrefEntry& a, const XrefEntry& b)
{
    return a.number < b.number;
}
bool SameNumber(const XrefEntry& a, const XrefEntry& b)
{
    return a.number == b.number;
}
} // namespace

void XrefIndex::Merge()
{
    if (m_pending.empty()) return;
    // Stable throughout: of equal numbers the one added first stays first, and unique keeps it.
    std::stable_sort(m_pending.begin(), m_pending.end(), ByNumber);
    size_t middle = m_sorted.size();
    m_sorted.insert(m_sorted.end(), m_pending.begin(), m_pending.end());
    std::vector<XrefEntry>().swap(m_pending);
    std::inplace_merge(m_sorted.begin(), m_sorted.begin() + middle, m_sorted.end(), ByNumber);
    m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end(), SameNumber), m_sorted.end());
}

const XrefEntry* XrefIndex::Find(int number)
{
    Merge();
    XrefEntry key;
    key.number = static_cast<std::uint32_t>(number);
    auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), key, ByNumber);
    return it != m_sorted.end() && it->number == key.number ? &*it : nullptr;
}

const std::vector<XrefEntry>& XrefIndex::Entries()
{
    Merge();
    return m_sorted;
}

void XrefIndex::Clear()
{
    std::vector<XrefEntry>().swap(m_sorted);
    std::vector<XrefEntry>().swap(m_pending);
}

void XrefIndex::Swap(XrefIndex& other)
{
    m_sorted.swap(other.m_sorted);
    m_pending.swap(other.m_pending);
}

} // namespace pdf
