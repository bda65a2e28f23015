// The in-use entries of a file's cross-reference: where each object is, in the file or inside an
// object stream. Kept as one sorted array of small entries, so a file that names millions of
// objects costs a few bytes for each one it really holds, and nothing for the free ones.
#pragma once
#include <cstdint>
#include <vector>

namespace pdf {

struct XrefEntry
{
    std::uint32_t number = 0;
    std::uint8_t type = 0;        // 1 in the file, 2 inside an object stream
    std::uint32_t location = 0;   // type 1: offset in the file; type 2: the object stream's number
    std::uint32_t index = 0;      // type 2: place in the object stream
};

class XrefIndex
{
public:
    // Adds an entry unless the object already has one (sections are read newest first).
    void Add(const XrefEntry& entry) { m_pending.push_back(entry); }
    // The entry of an object; null when the cross-reference does not hold it.
    const XrefEntry* Find(int number);
    bool Contains(int number) { return Find(number) != nullptr; }
    // Every entry in order of object number.
    const std::vector<XrefEntry>& Entries();
    size_t Size() { return Entries().size(); }
    void Clear();
    void Swap(XrefIndex& other);

private:
    // Sorts what was added since the last lookup into the entries; the earlier entry of a number wins.
    void Merge();

    std::vector<XrefEntry> m_sorted;
    std::vector<XrefEntry> m_pending;
};

} // namespace pdf
