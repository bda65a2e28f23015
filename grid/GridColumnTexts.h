// Fills the texts of many cells of a grid, as a list filled from a database does: a text equal to
// one set a little earlier in the same column is not copied again, the cell shares that cell's
// block. A column of a few distinct values (flags, states, codes) then costs one copy of each.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

class CGridCtrl;
class CGridCell;

class GridColumnTexts
{
public:
    // Remembers cells of grid; no cell of it may be deleted or replaced while this object is used
    // (growing the grid is fine).
    explicit GridColumnTexts(CGridCtrl& grid);
    GridColumnTexts(const GridColumnTexts&) = delete;
    GridColumnTexts& operator=(const GridColumnTexts&) = delete;

    // What grid.SetItemText(row, col, text) does, for a text of length characters, UTF-16 or bytes
    // widened one to a character (ASCII).
    BOOL SetItemText(int row, int col, const wchar_t* text, size_t length);
    BOOL SetItemText(int row, int col, const char* ascii, size_t length);

    // Cells of the column whose texts were met: each column remembers up to 64 distinct texts, a
    // table that stays in the processor's cache.
    static const size_t SLOTS_PER_COLUMN = 64;

private:
    struct Slot
    {
        CGridCell* cell = nullptr;
        uint32_t hash = 0;
    };
    template <class Char> BOOL Set(int row, int col, const Char* text, size_t length);

    CGridCtrl& m_grid;
    std::vector<Slot> m_slots;   // by column, then by the text's hash
};
