// The column text fill: a small table per column of cells by their text's hash.
#include "grid/GridColumnTexts.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include <string>
#include <type_traits>
#include <typeinfo>

namespace {

// FNV-1a over the characters' numbers, so bytes and their widened characters hash alike.
template <class Char>
uint32_t TextHash(const Char* text, size_t length)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; i++)
    {
        hash ^= static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i]));
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

GridColumnTexts::GridColumnTexts(CGridCtrl& grid) : m_grid(grid) {}

BOOL GridColumnTexts::SetItemText(int row, int col, const wchar_t* text, size_t length)
{
    return Set(row, col, text, length);
}

BOOL GridColumnTexts::SetItemText(int row, int col, const char* ascii, size_t length)
{
    return Set(row, col, ascii, length);
}

template <class Char>
BOOL GridColumnTexts::Set(int row, int col, const Char* text, size_t length)
{
    if (m_grid.GetVirtualMode())
        return FALSE;
    CGridCellBase* base = m_grid.GetCell(row, col);
    if (!base)
        return FALSE;
    // Another kind of cell may do more on SetText: it gets the text through it.
    if (!IsOrdinaryGridCell(*base))
    {
        std::wstring copy;
        copy.reserve(length);
        for (size_t i = 0; i < length; i++)
            copy.push_back(static_cast<wchar_t>(static_cast<std::make_unsigned_t<Char>>(text[i])));
        return m_grid.SetItemText(row, col, copy.c_str());
    }
    CGridCell* cell = static_cast<CGridCell*>(base);
    if (length == 0)
    {
        cell->SetText(text, 0);
    }
    else
    {
        const size_t columns = static_cast<size_t>(m_grid.GetColumnCount());
        if (m_slots.size() < columns * SLOTS_PER_COLUMN)
            m_slots.resize(columns * SLOTS_PER_COLUMN);
        const uint32_t hash = TextHash(text, length);
        Slot& slot = m_slots[static_cast<size_t>(col) * SLOTS_PER_COLUMN + hash % SLOTS_PER_COLUMN];
        if (slot.cell && slot.cell != cell && slot.hash == hash && slot.cell->TextEquals(text, length))
        {
            cell->ShareText(*slot.cell);
        }
        else
        {
            cell->SetText(text, length);
            slot.cell = cell;
            slot.hash = hash;
        }
    }
    m_grid.SetCellModified(cell, col);
    return TRUE;
}
