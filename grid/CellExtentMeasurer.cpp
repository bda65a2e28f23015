// Measuring many cells on one DC for auto-sizing, with the same results as each cell's own
// GetCellExtent.
#include "grid/CellExtentMeasurer.h"
#include "grid/GridCell.h"
#include <cstdint>
#include <cwchar>
#include <typeinfo>
#include "grid/GridCtrl.h"

CellExtentMeasurer::CellExtentMeasurer(CDC* pDC)
    : m_pDC(pDC), m_hdc(pDC ? pDC->GetSafeHdc() : nullptr),
      m_originalFont(m_hdc ? ::GetCurrentObject(m_hdc, OBJ_FONT) : nullptr), m_selected(nullptr)
{
}

CellExtentMeasurer::~CellExtentMeasurer()
{
    if (m_hdc && m_selected)
        ::SelectObject(m_hdc, m_originalFont);
}

bool CellExtentMeasurer::SelectFont(HFONT font)
{
    if (font == m_selected)
        return true;
    if (!::SelectObject(m_hdc, font))
        return false;
    m_selected = font;
    return true;
}

CellExtentMeasurer::FontTable& CellExtentMeasurer::TableFor(HFONT font)
{
    for (FontTable& table : m_tables)
        if (table.font == font)
            return table;
    m_tables.emplace_back();
    FontTable& table = m_tables.back();
    table.font = font;
    table.widths.assign(END_TABLED - FIRST_TABLED, -1);
    if (!SelectFont(font))
    {
        table.usable = false;
        return table;
    }
    // Justification may share its extra pixels unevenly among word breaks, and then a text is not
    // the sum of its characters measured alone: a run of spaces shows it.
    const wchar_t spaces[] = L"                                                                ";
    const int count = static_cast<int>(wcslen(spaces));
    SIZE one = MeasureText(spaces, 1);
    SIZE many = MeasureText(spaces, count);
    table.usable = many.cx == count * one.cx;
    return table;
}

SIZE CellExtentMeasurer::MeasureText(const wchar_t* text, int length)
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hdc, text, length, &size);
    return size;
}

// A text's extent as the sum of its characters' widths, each measured once; false when the text
// holds a character outside the table or the table has proved wrong.
bool CellExtentMeasurer::TableExtent(FontTable& table, const wchar_t* text, int length, SIZE& size)
{
    if (!table.usable)
        return false;
    int width = 0;
    for (int i = 0; i < length; i++)
    {
        wchar_t ch = text[i];
        if (ch < FIRST_TABLED || ch >= END_TABLED)
            return false;
        int& known = table.widths[ch - FIRST_TABLED];
        if (known < 0)
        {
            if (!SelectFont(table.font))
                return false;
            SIZE one = MeasureText(&ch, 1);
            if (table.height < 0)
                table.height = one.cy;
            if (one.cy != table.height)
            {
                table.usable = false;
                return false;
            }
            known = one.cx;
        }
        width += known;
    }
    size.cx = width;
    size.cy = table.height;
    if (table.checksLeft > 0 && SelectFont(table.font))
    {
        table.checksLeft--;
        SIZE measured = MeasureText(text, length);
        if (measured.cx != size.cx || measured.cy != size.cy)
        {
            table.usable = false;
            size = measured;
        }
    }
    return true;
}

int CellExtentMeasurer::WidestCharacter(FontTable& table)
{
    // Only a table that has agreed with the DC's own measure on whole texts is trusted.
    if (!table.usable || table.checksLeft > 0)
        return -1;
    if (table.widest >= 0)
        return table.widest;
    if (!SelectFont(table.font))
        return -1;
    int widest = 0;
    for (wchar_t ch = FIRST_TABLED; ch < END_TABLED; ch++)
    {
        int& known = table.widths[ch - FIRST_TABLED];
        if (known < 0)
        {
            SIZE one = MeasureText(&ch, 1);
            if (one.cy != table.height)
            {
                table.usable = false;
                return -1;
            }
            known = one.cx;
        }
        if (known > widest)
            widest = known;
    }
    table.widest = widest;
    return widest;
}

bool CellExtentMeasurer::CannotExceed(FontTable& table, const wchar_t* text, int limit)
{
    const int widest = WidestCharacter(table);
    if (widest <= 0 || limit < 0)
        return false;
    // A text of the table's characters is the sum of their widths, so no wider than its length
    // times the widest of them; the scan ends as soon as the text is too long for that to help.
    const int longest = limit / widest;
    for (int i = 0; text[i]; i++)
    {
        const wchar_t ch = text[i];
        if (i >= longest || ch < FIRST_TABLED || ch >= END_TABLED)
            return false;
    }
    return true;
}

bool CellExtentMeasurer::TextExtent(HFONT font, const wchar_t* text, int length, SIZE& size)
{
    if (TableExtent(TableFor(font), text, length, size))
        return true;
    if (!SelectFont(font))
        return false;
    size = MeasureText(text, length);
    return true;
}

const CellExtentMeasurer::PlainKind& CellExtentMeasurer::KindOf(CGridCell* cell)
{
    CGridCtrl* grid = cell->CGridCell::GetGrid();
    const DWORD fixedState = cell->CGridCellBase::GetState() & (GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL);
    const DWORD format = cell->CGridCell::GetFormat();
    if (m_lastKind < m_kinds.size())
    {
        const PlainKind& last = m_kinds[m_lastKind];
        if (last.grid == grid && last.fixedState == fixedState && last.format == format)
            return last;
    }
    for (size_t i = 0; i < m_kinds.size(); i++)
        if (m_kinds[i].grid == grid && m_kinds[i].fixedState == fixedState && m_kinds[i].format == format)
        {
            m_lastKind = i;
            return m_kinds[i];
        }
    PlainKind kind{grid, fixedState, format, nullptr, 0, false, 0};
    CFont* fontObject = cell->GetFontObject();
    kind.font = fontObject ? static_cast<HFONT>(fontObject->GetSafeHandle()) : nullptr;
    kind.margin = static_cast<int>(cell->GetMargin());
    const LOGFONT* logFont = cell->GetFont();
    const bool turned = logFont && (logFont->lfEscapement == 900 || logFont->lfEscapement == -900);
    const bool multiLine = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    kind.measurable = kind.font && !turned && !multiLine;
    if (kind.measurable)
        kind.table = static_cast<size_t>(&TableFor(kind.font) - m_tables.data());
    m_kinds.push_back(kind);
    m_lastKind = m_kinds.size() - 1;
    return m_kinds.back();
}

// The sums of GetCellExtent for a cell with no image (a plain cell has none) and an upright single-line font: the text,
// a margin on each side, one pixel, and one more for a fixed cell's edge.
CSize CellExtentMeasurer::PlainCellExtent(CGridCell* cell)
{
    const PlainKind& kind = KindOf(cell);
    const wchar_t* text = cell->CGridCell::GetText();
    if (!kind.measurable || !*text)
        return CSize(0, 0);   // measured the general way
    const size_t kindIndex = m_lastKind;
    if (m_known.empty())
        m_known.resize(KNOWN_EXTENTS);
    KnownExtent& known = m_known[(reinterpret_cast<uintptr_t>(text) / sizeof(wchar_t) + kindIndex) % KNOWN_EXTENTS];
    SIZE size;
    if (known.text == text && known.kind == kindIndex)
    {
        size = known.size;
    }
    else
    {
        int length = 0;
        while (text[length])
            length++;
        if (!TextExtent(kind.font, text, length, size))
            return CSize(0, 0);
        known.text = text;
        known.kind = kindIndex;
        known.size = size;
    }
    const int edge = (kind.fixedState & GVIS_FIXED) ? 1 : 0;
    return CSize(size.cx + 2 * kind.margin + 1 + edge, size.cy + 2 * kind.margin + 1 + edge);
}

bool CellExtentMeasurer::CellExtentIfWider(CGridCellBase* cell, int widest, CSize& size)
{
    if (m_hdc && IsOrdinaryGridCell(*cell))
    {
        CGridCell* ordinary = static_cast<CGridCell*>(cell);
        if (!ordinary->HasAttributeBlock())
        {
            const PlainKind& kind = KindOf(ordinary);
            const wchar_t* text = ordinary->CGridCell::GetText();
            if (kind.measurable && *text)
            {
                const int edge = (kind.fixedState & GVIS_FIXED) ? 1 : 0;
                const int extra = 2 * kind.margin + 1 + edge;
                if (CannotExceed(m_tables[kind.table], text, widest - extra))
                    return false;
            }
        }
    }
    size = CellExtent(cell);
    return true;
}

CSize CellExtentMeasurer::CellExtent(CGridCellBase* cell)
{
    // Only the plain cell's measuring is known here; any other kind measures itself, as does a
    // cell with a font of its own (its font object is made anew for every request) or a
    // multi-line format.
    if (!m_hdc || cell->GetRuntimeClass() != RUNTIME_CLASS(CGridCell))
        return cell->GetCellExtent(m_pDC);
    CGridCell* ordinary = static_cast<CGridCell*>(cell);
    if (IsOrdinaryGridCell(*cell) && !ordinary->HasAttributeBlock())
    {
        const CSize size = PlainCellExtent(ordinary);
        if (size.cx > 0)
            return size;
    }
    if (!cell->IsDefaultFont())
        return cell->GetCellExtent(m_pDC);
    DWORD format = cell->GetFormat();
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
        return cell->GetCellExtent(m_pDC);

    const wchar_t* text = cell->GetText();
    int length = text ? static_cast<int>(wcslen(text)) : 0;
    if (length == 0)
        return cell->CellExtentFromText(cell->EmptyTextExtent());

    // The font is selected only when the DC measures: a text of known characters needs none.
    CFont* fontObject = cell->GetFontObject();
    HFONT font = fontObject ? static_cast<HFONT>(fontObject->GetSafeHandle()) : nullptr;
    if (!font)
        return cell->GetCellExtent(m_pDC);

    SIZE size;
    if (!TableExtent(TableFor(font), text, length, size))
    {
        if (!SelectFont(font))
            return cell->GetCellExtent(m_pDC);
        size = MeasureText(text, length);
    }
    return cell->CellExtentFromText(cell->TextExtentFromMeasured(CSize(size.cx, size.cy)));
}
