// Where each claim-form field stands on a clearinghouse page: 225 entries, each a key (field name,
// "----", entry number, "-", field name) and a 1-based column and row on the 90 x 61 character page.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>

// How a field's value is shaped before it is placed (decided by its key).
enum class ValueShape
{
    Plain,
    Dollars,   // right-aligned in 7 columns
    LocalUse,  // at most 50 characters
    ServiceLine, // at most 68 characters
};

// A place on the page, both 1-based, and the shaping of the value placed there.
struct ClearinghousePosition
{
    int column = 0;
    int row = 0;
    ValueShape shape = ValueShape::Plain;
};

// The shaping that a field of this key gets.
ValueShape ShapeOfKey(const std::string& key);

// One entry of the layout table as it is written down.
struct ClearinghouseEntry
{
    int number;
    const char* name;
    int column;
    int row;
};

// The whole table, in entry-number order.
const ClearinghouseEntry* ClearinghouseEntries(size_t& count);
// The key of an entry: name----number-name.
std::string ClearinghouseKey(const ClearinghouseEntry& entry);

// The table as a lookup by exact key (byte for byte, case-sensitive).
class ClearinghouseLayout
{
public:
    ClearinghouseLayout() { FillClearinghouseLayout(); }

    void FillClearinghouseLayout();
    void Clear() { m_positions.clear(); }
    // The entry's place, or null when no entry has exactly this key.
    const ClearinghousePosition* Find(const std::string& key) const;
    size_t Size() const { return m_positions.size(); }

private:
    std::unordered_map<std::string, ClearinghousePosition> m_positions;
};
