// Measures the extents of many cells on one device context, as auto-sizing does: a font is
// selected only when the DC must measure, and texts of common characters are measured from a table
// of character widths that is checked against the DC's own measure first.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/Gdi.h"

class CGridCellBase;

class CellExtentMeasurer
{
public:
    explicit CellExtentMeasurer(CDC* pDC);
    ~CellExtentMeasurer();
    CellExtentMeasurer(const CellExtentMeasurer&) = delete;
    CellExtentMeasurer& operator=(const CellExtentMeasurer&) = delete;

    // What cell->GetCellExtent(pDC) answers.
    CSize CellExtent(CGridCellBase* cell);

private:
    // Widths of the characters of one font from the space up to the end of Latin Extended-B.
    static const wchar_t FIRST_TABLED = 0x20;
    static const wchar_t END_TABLED = 0x250;
    struct FontTable
    {
        HFONT font = nullptr;
        int height = -1;          // every text's height in this font; -1 until measured
        int checksLeft = 16;      // texts still to be measured both ways before the table is trusted
        bool usable = true;       // false once the table disagreed with the DC
        std::vector<int> widths;  // -1 for a character not yet measured
    };

    bool SelectFont(HFONT font);
    FontTable& TableFor(HFONT font);
    SIZE MeasureText(const wchar_t* text, int length);
    bool TableExtent(FontTable& table, const wchar_t* text, int length, SIZE& size);

    CDC* m_pDC;
    HDC m_hdc;
    HGDIOBJ m_originalFont;
    HFONT m_selected;
    std::vector<FontTable> m_tables;
};
