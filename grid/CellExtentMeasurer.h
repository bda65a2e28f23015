// Measures the extents of many cells on one device context, as auto-sizing does: a font is
// selected only when the DC must measure, and texts of common characters are measured from a table
// of character widths that is checked against the DC's own measure first.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/Gdi.h"

class CGridCellBase;
class CGridCell;
class CGridCtrl;

class CellExtentMeasurer
{
public:
    explicit CellExtentMeasurer(CDC* pDC);
    ~CellExtentMeasurer();
    CellExtentMeasurer(const CellExtentMeasurer&) = delete;
    CellExtentMeasurer& operator=(const CellExtentMeasurer&) = delete;

    // What cell->GetCellExtent(pDC) answers.
    CSize CellExtent(CGridCellBase* cell);
    // For finding the widest cell: false when the cell's extent cannot be wider than widest (a plain
    // cell whose text, of characters of its font's proven table, is too short to reach it), else
    // true with size as CellExtent gives it.
    bool CellExtentIfWider(CGridCellBase* cell, int widest, CSize& size);

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
        int widest = -1;          // the widest character of the table once all are measured
    };

    // What the extent of a plain cell (the ordinary cell with nothing set but its text, format and
    // background) depends on besides its text: its grid's default cell of its fixed state, and its
    // format. Found once per such kind and kept.
    struct PlainKind
    {
        CGridCtrl* grid;
        DWORD fixedState;
        DWORD format;
        HFONT font;
        int margin;
        bool measurable;   // false: the cell measures itself (multi-line, turned font, no font)
        size_t table;      // of the font, in m_tables (when measurable)
    };
    // Extents already found, by text block and kind: cells that share a text are measured once.
    struct KnownExtent
    {
        const wchar_t* text = nullptr;
        size_t kind = 0;
        SIZE size = {0, 0};
    };
    static const size_t KNOWN_EXTENTS = 4096;

    const PlainKind& KindOf(CGridCell* cell);
    // (0, 0) when the cell is to be measured the general way.
    CSize PlainCellExtent(CGridCell* cell);
    bool TextExtent(HFONT font, const wchar_t* text, int length, SIZE& size);

    bool SelectFont(HFONT font);
    FontTable& TableFor(HFONT font);
    SIZE MeasureText(const wchar_t* text, int length);
    bool TableExtent(FontTable& table, const wchar_t* text, int length, SIZE& size);
    // The widest character of a table that has proved right, every character measured; -1 when
    // the table cannot say.
    int WidestCharacter(FontTable& table);
    // Whether the text is certainly narrower than, or as wide as, limit in the table's font.
    bool CannotExceed(FontTable& table, const wchar_t* text, int limit);

    CDC* m_pDC;
    HDC m_hdc;
    HGDIOBJ m_originalFont;
    HFONT m_selected;
    std::vector<FontTable> m_tables;
    std::vector<PlainKind> m_kinds;
    size_t m_lastKind = 0;
    std::vector<KnownExtent> m_known;
};
