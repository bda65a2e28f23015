// Painting, measuring and printing of a grid cell, written once over the cell's virtual getters,
// and the operations every kind of cell shares.
#include "grid/GridCellBase.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "framework/ImageList.h"
#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CGridCellBase, CObject)

// The widths of the run font's first 256 characters and its height: the extent of a text in them is
// their sum and the height, as GetTextExtentPoint32 measures it, without a call for every cell (a
// call costs more than drawing a cell's background).
struct CellPaintRun::FontMetrics
{
    HGDIOBJ font = nullptr;
    INT widths[256] = {};
    int height = 0;

    // The text's extent when the DC still holds the font and every character is in the table.
    bool Measure(HDC hdc, LPCTSTR text, int length, SIZE& size) const
    {
        if (GetCurrentObject(hdc, OBJ_FONT) != font)
            return false;
        int width = 0;
        for (int i = 0; i < length; i++)
        {
            if (text[i] >= 256)
                return false;
            width += widths[text[i]];
        }
        size.cx = width;
        size.cy = height;
        return true;
    }
};

namespace {

CellPaintRun* g_activeRun = nullptr;   // the innermost paint run; painting is on the window's thread only

// Puts back, on every way out of a painting function, the DC attributes a cell changes: background
// mode, text colour, font and pen. (Cheaper than SaveDC/RestoreDC, which a paint would call for
// every visible cell.)
class SavedDCState
{
public:
    explicit SavedDCState(HDC hdc)
        : m_hdc(hdc), m_bkMode(GetBkMode(hdc)), m_textColour(GetTextColor(hdc)),
          m_font(GetCurrentObject(hdc, OBJ_FONT)), m_pen(GetCurrentObject(hdc, OBJ_PEN))
    {
    }
    ~SavedDCState()
    {
        SetBkMode(m_hdc, m_bkMode);
        SetTextColor(m_hdc, m_textColour);
        SelectObject(m_hdc, m_font);
        SelectObject(m_hdc, m_pen);
    }
private:
    HDC m_hdc;
    int m_bkMode;
    COLORREF m_textColour;
    HGDIOBJ m_font;
    HGDIOBJ m_pen;
};

// The DC attributes a cell paints with, set only where they differ from what the DC holds and put
// back on the way out only where they were changed. A paint of the whole grid sets the attributes
// of the common cell once (CellPaintRun), so that most cells change nothing; a font
// selection costs more than the rest of a cell's drawing but its text. Pens are put back by the
// functions that select them.
class CellDCState
{
public:
    explicit CellDCState(HDC hdc)
        : m_hdc(hdc), m_bkMode(GetBkMode(hdc)), m_textColour(GetTextColor(hdc)),
          m_font(GetCurrentObject(hdc, OBJ_FONT)), m_currentFont(m_font)
    {
    }
    CellDCState(const CellDCState&) = delete;
    CellDCState& operator=(const CellDCState&) = delete;
    ~CellDCState()
    {
        if (m_bkModeSet)
            SetBkMode(m_hdc, m_bkMode);
        if (m_textColourSet)
            SetTextColor(m_hdc, m_textColour);
        if (m_currentFont != m_font)
            SelectObject(m_hdc, m_font);
        if (m_brushColourSet)
            SetDCBrushColor(m_hdc, m_brushColour);
    }
    void BkMode(int mode)
    {
        if (mode == m_bkMode && !m_bkModeSet)
            return;
        SetBkMode(m_hdc, mode);
        m_bkModeSet = true;
    }
    void TextColour(COLORREF colour)
    {
        if (colour == m_textColour && !m_textColourSet)
            return;
        SetTextColor(m_hdc, colour);
        m_textColourSet = true;
    }
    void Font(HGDIOBJ font)
    {
        if (font == m_currentFont)
            return;
        if (SelectObject(m_hdc, font))
            m_currentFont = font;
    }
    // A solid fill and a frame without making a brush: the DC's own brush in the colour (passed over
    // when it cannot be had, as a brush that cannot be made).
    void Fill(const RECT& rect, COLORREF colour)
    {
        if (HBRUSH brush = DCBrush(colour))
            FillRect(m_hdc, &rect, brush);
    }
    void Frame(const RECT& rect, COLORREF colour)
    {
        if (HBRUSH brush = DCBrush(colour))
            FrameRect(m_hdc, &rect, brush);
    }

private:
    HBRUSH DCBrush(COLORREF colour)
    {
        COLORREF old = SetDCBrushColor(m_hdc, colour);
        if (old == CLR_INVALID)
            return nullptr;
        if (!m_brushColourSet)
        {
            m_brushColour = old;
            m_brushColourSet = true;
        }
        return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    }

    HDC m_hdc;
    int m_bkMode;
    COLORREF m_textColour;
    HGDIOBJ m_font;
    HGDIOBJ m_currentFont;
    COLORREF m_brushColour = 0;
    bool m_bkModeSet = false;
    bool m_textColourSet = false;
    bool m_brushColourSet = false;
};

HFONT FontHandle(CFont* font)
{
    return font ? static_cast<HFONT>(font->GetSafeHandle()) : nullptr;
}

void FillRectWith(HDC hdc, const RECT& rect, COLORREF clr)
{
    HBRUSH brush = CreateSolidBrush(clr);
    if (!brush)
        return;   // painting goes on without the fill
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

// The size of the image the grid's image list holds at index, or false when it holds none there.
bool ImageSize(CGridCtrl* grid, int image, int& cx, int& cy)
{
    CImageList* list = grid ? grid->GetImageList() : nullptr;
    IMAGEINFO info;
    if (!list || image < 0 || !list->GetImageInfo(image, &info))
        return false;
    cx = info.rcImage.right - info.rcImage.left;
    cy = info.rcImage.bottom - info.rcImage.top;
    return true;
}

// DrawText for one cell. A single line that fits is placed and drawn here directly, which is what
// DrawText would do for it at a good part of the cost (a paint draws every visible cell), and in a
// paint run it waits to be drawn with its neighbours when its ink needs no clipping; anything else,
// an ellipsis included, goes to DrawText.
void DrawCellText(HDC hdc, LPCTSTR text, RECT rect, UINT format)
{
    const UINT simple = DT_SINGLELINE | DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT | DT_NOPREFIX | DT_END_ELLIPSIS;
    int length = text ? static_cast<int>(wcslen(text)) : 0;
    bool oneLine = !(format & ~simple) && (format & DT_SINGLELINE) && length > 0;
    SIZE size = {0, 0};
    bool measured = false;
    CellPaintRun* run = CellPaintRun::ActiveOn(hdc);
    if (oneLine)
        measured = run && run->Metrics() && run->Metrics()->Measure(hdc, text, length, size);
    if (!oneLine || (!measured && !GetTextExtentPoint32W(hdc, text, length, &size)) || size.cx > rect.right - rect.left)
    {
        if (run)
            run->Texts().Flush();
        DrawTextW(hdc, text, -1, &rect, format);
        return;
    }
    int x = rect.left;
    if (format & DT_CENTER)
        x = (rect.left + rect.right - size.cx) / 2;
    else if (format & DT_RIGHT)
        x = rect.right - size.cx;
    int y = rect.top;
    if (format & DT_VCENTER)
        y = rect.top + (rect.bottom - rect.top) / 2 - size.cy / 2;
    else if (format & DT_BOTTOM)
        y = rect.bottom - size.cy;
    INT advances[256];
    if (measured && run->Glyphs() && length <= 256 && run->Glyphs()->InkInside(hdc, text, length, x, y, rect, advances))
    {
        run->Texts().Add(run->Glyphs(), x, y, text, length, advances);
        return;
    }
    if (run)
        run->Texts().Flush();
    ExtTextOutW(hdc, x, y, ETO_CLIPPED, &rect, text, static_cast<UINT>(length), nullptr);
}

// The widths of the DC's font's first 256 characters and its height, false for a font that simulates
// anything (an overhang). Asking the system costs more than a page's cells on their own, and a
// paint asks for every block of cells: on unscaled DCs the answer is kept per font and resolution.
bool MeasureFont(HDC hdc, INT* widths, int& height)
{
    struct Measured
    {
        LOGFONTW font;
        int dpiX, dpiY;
        INT widths[256];
        int height;
    };
    static std::vector<std::unique_ptr<Measured>> measured;
    LOGFONTW font;
    HGDIOBJ handle = GetCurrentObject(hdc, OBJ_FONT);
    bool keep = handle && GetObjectW(handle, sizeof(font), &font) == sizeof(font) && GetMapMode(hdc) == MM_TEXT;
    int dpiX = GetDeviceCaps(hdc, LOGPIXELSX), dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    for (const auto& m : measured)
    {
        if (keep && m->dpiX == dpiX && m->dpiY == dpiY && std::memcmp(&m->font, &font, sizeof(font)) == 0)
        {
            std::copy(m->widths, m->widths + 256, widths);
            height = m->height;
            return true;
        }
    }
    TEXTMETRICW tm;
    if (!GetTextMetricsW(hdc, &tm) || tm.tmOverhang != 0 || !GetCharWidth32W(hdc, 0, 255, widths))
        return false;
    height = tm.tmHeight;
    if (keep && measured.size() < 64)
    {
        auto m = std::make_unique<Measured>();
        m->font = font;
        m->dpiX = dpiX;
        m->dpiY = dpiY;
        std::copy(widths, widths + 256, m->widths);
        m->height = height;
        measured.push_back(std::move(m));
    }
    return true;
}

} // namespace

CGridCellBase::CGridCellBase() : m_nState(0)
{
}

CGridCellBase* CGridCellBase::GetDefaultCell() const
{
    CGridCtrl* grid = GetGrid();
    if (!grid)
        return nullptr;
    return grid->GetDefaultCell(IsFixedRow(), IsFixedCol());
}

void CGridCellBase::operator=(const CGridCellBase& cell)
{
    if (this == &cell)
        return;
    SetGrid(cell.GetGrid());
    SetText(cell.GetText());
    SetImage(cell.GetImage());
    SetData(cell.GetData());
    SetState(cell.GetState());
    SetFormat(cell.GetFormat());
    SetTextClr(cell.GetTextClr());
    SetBackClr(cell.GetBackClr());
    SetFont(cell.IsDefaultFont() ? nullptr : cell.GetFont());
    SetMargin(cell.GetMargin());
}

BOOL CGridCellBase::OnSetCursor()
{
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

void CGridCellBase::DrawRaisedEdge(HDC hdc, const CRect& rect)
{
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
    HGDIOBJ old = SelectObject(hdc, light);
    MoveToEx(hdc, rect.right, rect.top, nullptr);
    LineTo(hdc, rect.left, rect.top);
    LineTo(hdc, rect.left, rect.bottom);
    SelectObject(hdc, dark);
    MoveToEx(hdc, rect.right, rect.top, nullptr);
    LineTo(hdc, rect.right, rect.bottom);
    LineTo(hdc, rect.left, rect.bottom);
    SelectObject(hdc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

void CGridCellBase::DrawSortArrow(HDC hdc, CRect& rect)
{
    const int offset = 2;
    SIZE m = {0, 0};
    GetTextExtentPoint32W(hdc, L"M", 1, &m);
    int side = m.cy - 2 * offset;
    if (side >= rect.Height())
        side = rect.Height() - 2 * offset;
    LOGFONT* font = GetFont();
    bool vertical = font && font->lfEscapement == 900;
    if (side + rect.left >= rect.right)
        return;
    int top = rect.bottom - offset - side;
    int left = vertical ? (rect.right + rect.left - side) / 2 : rect.right - side;

    HPEN shadow = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_3DSHADOW));
    HPEN light = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_3DHIGHLIGHT));
    HGDIOBJ old = SelectObject(hdc, light);
    if (GetGrid()->GetSortAscending())
    {
        MoveToEx(hdc, left + 1, top + side + 1, nullptr);
        LineTo(hdc, left + 1 + side / 2, top + 1);
        LineTo(hdc, left + 1 + side, top + side + 1);
        LineTo(hdc, left + 1, top + side + 1);
        SelectObject(hdc, shadow);
        MoveToEx(hdc, left, top + side, nullptr);
        LineTo(hdc, left + side / 2, top);
        LineTo(hdc, left + side, top + side);
        LineTo(hdc, left, top + side);
    }
    else
    {
        MoveToEx(hdc, left + 1, top + 1, nullptr);
        LineTo(hdc, left + 1 + side / 2, top + side + 1);
        LineTo(hdc, left + 1 + side, top + 1);
        LineTo(hdc, left + 1, top + 1);
        SelectObject(hdc, shadow);
        MoveToEx(hdc, left, top, nullptr);
        LineTo(hdc, left + side / 2, top + side);
        LineTo(hdc, left + side, top);
        LineTo(hdc, left, top);
    }
    SelectObject(hdc, old);
    DeleteObject(shadow);
    DeleteObject(light);
    if (!vertical)
        rect.right -= side;
}

CellPaintRun::CellPaintRun(HDC hdc, CGridCellBase* defaultCell)
    : m_hdc(hdc), m_bkMode(GetBkMode(hdc)), m_textColour(GetTextColor(hdc)), m_font(GetCurrentObject(hdc, OBJ_FONT)),
      m_texts(hdc), m_outer(g_activeRun)
{
    g_activeRun = this;
    SetBkMode(hdc, TRANSPARENT);
    if (!defaultCell)
        return;
    if (defaultCell->GetTextClr() != CLR_DEFAULT)
        SetTextColor(hdc, defaultCell->GetTextClr());
    if (HFONT font = FontHandle(defaultCell->GetFontObject()))
        SelectObject(hdc, font);
    // Texts are measured from the table only in a font that simulates nothing (no overhang) and with
    // no extra space between characters.
    auto metrics = std::make_unique<FontMetrics>();
    metrics->font = GetCurrentObject(hdc, OBJ_FONT);
    if (metrics->font && GetTextCharacterExtra(hdc) == 0 && MeasureFont(hdc, metrics->widths, metrics->height))
    {
        m_metrics = std::move(metrics);
        m_glyphs = GlyphTable::For(hdc);
    }
}

CellPaintRun::~CellPaintRun()
{
    m_texts.Flush();
    g_activeRun = m_outer;
    SetBkMode(m_hdc, m_bkMode);
    SetTextColor(m_hdc, m_textColour);
    SelectObject(m_hdc, m_font);
}

CellPaintRun* CellPaintRun::ActiveOn(HDC hdc)
{
    for (CellPaintRun* run = g_activeRun; run; run = run->m_outer)
    {
        if (run->m_hdc == hdc)
            return run;
    }
    return nullptr;
}

BOOL CGridCellBase::Draw(CDC* pDC, int row, int col, CRect rect, BOOL eraseBkgnd)
{
    CGridCtrl* grid = GetGrid();
    if (!grid || !pDC || !pDC->GetSafeHdc() || rect.Width() < 1 || rect.Height() < 1)
        return FALSE;
    HDC hdc = pDC->GetSafeHdc();
    CellDCState state(hdc);
    state.BkMode(TRANSPARENT);

    CGridDefaultCell* def = static_cast<CGridDefaultCell*>(GetDefaultCell());
    if (!def)
        return FALSE;

    COLORREF textClr = GetTextClr() == CLR_DEFAULT ? def->GetTextClr() : GetTextClr();
    COLORREF backClr;
    if (GetBackClr() == CLR_DEFAULT)
        backClr = def->GetBackClr();
    else
    {
        backClr = GetBackClr();
        eraseBkgnd = TRUE;
    }

    int gridLines = grid->GetGridLines();
    if (IsFocused() || IsDropHighlighted())
    {
        if (IsSelected())
        {
            backClr = GetSelectedBackClr();
            textClr = GetSelectedTextClr();
            eraseBkgnd = TRUE;
        }
        rect.right++;
        rect.bottom++;
        if (eraseBkgnd)
            state.Fill(rect, backClr);
        if (gridLines != GVL_NONE)
        {
            rect.right--;
            rect.bottom--;
        }
        if (grid->GetFrameFocusCell())
            state.Frame(rect, textClr);
        state.TextColour(textClr);
        if (gridLines == GVL_NONE)
        {
            rect.right--;
            rect.bottom--;
        }
    }
    else if (IsSelected())
    {
        CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        state.Fill(fill, GetSelectedBackClr());
        state.TextColour(GetSelectedTextClr());
    }
    else
    {
        if (eraseBkgnd)
        {
            CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
            state.Fill(fill, backClr);
        }
        state.TextColour(textClr);
    }

    if (IsFixed() && gridLines != GVL_NONE)
    {
        CCellID focus = grid->GetFocusCell();
        if (grid->GetTrackFocusCell() && grid->IsValid(focus) && (focus.row == row || focus.col == col))
        {
            rect.right++;
            rect.bottom++;
            DrawEdge(hdc, &rect, BDR_SUNKENINNER, BF_RECT);
            rect.DeflateRect(1, 1);
        }
        else
        {
            DrawRaisedEdge(hdc, rect);
            rect.DeflateRect(1, 1);
        }
    }

    if (!pDC->IsPrinting())
    {
        if (HFONT font = FontHandle(GetFontObject()))
            state.Font(font);
    }

    int margin = static_cast<int>(GetMargin());
    rect.DeflateRect(margin, margin);
    rect.right++;
    rect.bottom++;

    int imageCx = 0, imageCy = 0;
    if (ImageSize(grid, GetImage(), imageCx, imageCy) && imageCx + rect.left <= rect.right
        && imageCy + rect.top <= rect.bottom)
    {
        grid->GetImageList()->Draw(pDC, GetImage(), rect.TopLeft(), ILD_NORMAL);
    }

    if (row == 0 && col == grid->GetSortColumn())
        DrawSortArrow(hdc, rect);

    GetTextRect(&rect);
    rect.right++;
    rect.bottom++;
    DrawCellText(hdc, GetText(), rect, GetFormat() | DT_NOPREFIX);
    return TRUE;
}

BOOL CGridCellBase::GetTextRect(LPRECT rect)
{
    int cx = 0, cy = 0;
    if (ImageSize(GetGrid(), GetImage(), cx, cy))
        rect->left += cx + 1 + static_cast<int>(GetMargin());
    return TRUE;
}

CSize CGridCellBase::GetTextExtent(LPCTSTR text, CDC* pDC)
{
    CGridCtrl* grid = GetGrid();
    HDC hdc = pDC ? pDC->GetSafeHdc() : nullptr;
    HWND window = nullptr;
    bool ownDC = false;
    if (text && *text && !hdc && grid && grid->GetSafeHwnd())
    {
        window = grid->GetSafeHwnd();
        hdc = ::GetDC(window);
        ownDC = hdc != nullptr;
    }
    if (!text || !*text || !hdc)
    {
        if (ownDC)
            ::ReleaseDC(window, hdc);
        return EmptyTextExtent();
    }

    HGDIOBJ oldFont = nullptr;
    if (HFONT font = FontHandle(GetFontObject()))
        oldFont = SelectObject(hdc, font);

    CSize size(0, 0);
    DWORD format = GetFormat();
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
    {
        int widest = 0;
        const wchar_t* line = text;
        for (;;)
        {
            const wchar_t* end = wcschr(line, L'\n');
            int length = end ? static_cast<int>(end - line) : static_cast<int>(wcslen(line));
            SIZE ext = {0, 0};
            GetTextExtentPoint32W(hdc, line, length, &ext);
            if (ext.cx > widest)
                widest = ext.cx;
            if (!end)
                break;
            line = end + 1;
        }
        RECT calc = {0, 0, widest + 1, 0};
        DrawTextW(hdc, text, -1, &calc, format | DT_CALCRECT);
        size = CSize(calc.right - calc.left, calc.bottom - calc.top);
    }
    else
    {
        SIZE ext = {0, 0};
        GetTextExtentPoint32W(hdc, text, static_cast<int>(wcslen(text)), &ext);
        size = CSize(ext.cx, ext.cy);
    }
    if (oldFont)
        SelectObject(hdc, oldFont);
    if (ownDC)
        ::ReleaseDC(window, hdc);
    return TextExtentFromMeasured(size);
}

CSize CGridCellBase::EmptyTextExtent() const
{
    CGridDefaultCell* def = static_cast<CGridDefaultCell*>(GetDefaultCell());
    return def ? CSize(def->GetWidth(), def->GetHeight()) : CSize(0, 0);
}

CSize CGridCellBase::TextExtentFromMeasured(CSize size) const
{
    int margin = static_cast<int>(GetMargin());
    size.cx += 2 * margin;
    size.cy += 2 * margin;
    LOGFONT* font = GetFont();
    if (font && (font->lfEscapement == 900 || font->lfEscapement == -900))
    {
        int cx = size.cx;
        size.cx = size.cy;
        size.cy = cx + 4 * margin;
    }
    return size;
}

CSize CGridCellBase::GetCellExtent(CDC* pDC)
{
    return CellExtentFromText(GetTextExtent(GetText(), pDC));
}

CSize CGridCellBase::CellExtentFromText(CSize text) const
{
    int margin = static_cast<int>(GetMargin());
    CSize image(0, 0);
    int cx = 0, cy = 0;
    if (ImageSize(GetGrid(), GetImage(), cx, cy))
    {
        image = CSize(cx, cy);
        if (text.cx > 2 * margin)
            image.cx += margin;
        image.cy += 2 * margin;
    }
    CSize size(text.cx + image.cx + 1, (text.cy > image.cy ? text.cy : image.cy) + 1);
    if (IsFixed())
    {
        size.cx++;
        size.cy++;
    }
    return size;
}

BOOL CGridCellBase::PrintCell(CDC* pDC, int row, int col, CRect rect)
{
    CGridCtrl* grid = GetGrid();
    if (!grid || !pDC || !pDC->GetSafeHdc() || rect.Width() < 1 || rect.Height() < 1)
        return FALSE;
    HDC hdc = pDC->GetSafeHdc();
    SavedDCState saved(hdc);
    SetBkMode(hdc, TRANSPARENT);

    CGridCellBase* def = GetDefaultCell();
    COLORREF textClr = RGB(0, 0, 0);
    bool fill = false;
    COLORREF fillClr = 0;
    if (grid->GetShadedPrintOut() && def)
    {
        if (IsFixed())
        {
            fill = true;
            fillClr = GetBackClr() == CLR_DEFAULT ? def->GetBackClr() : GetBackClr();
        }
        else if (GetBackClr() != CLR_DEFAULT && GetBackClr() != def->GetBackClr())
        {
            fill = true;
            fillClr = GetBackClr();
        }
        textClr = GetTextClr() == CLR_DEFAULT ? def->GetTextClr() : GetTextClr();
        if (!fill && GetDeviceCaps(hdc, NUMCOLORS) == 2)
        {
            textClr = RGB(static_cast<int>(GetRValue(textClr) * 0.3),
                          static_cast<int>(GetGValue(textClr) * 0.59),
                          static_cast<int>(GetBValue(textClr) * 0.11));
        }
        if (fill)
        {
            CRect area(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
            FillRectWith(hdc, area, fillClr);
        }
    }
    SetTextColor(hdc, textClr);
    if (HFONT font = FontHandle(GetFontObject()))
        SelectObject(hdc, font);

    if (IsFixed() && grid->GetGridLines() != GVL_NONE)
    {
        DrawRaisedEdge(hdc, rect);
        rect.DeflateRect(1, 1);
    }
    int margin = static_cast<int>(GetMargin());
    rect.DeflateRect(margin, 0);
    int cx = 0, cy = 0;
    if (ImageSize(grid, GetImage(), cx, cy))
    {
        grid->GetImageList()->Draw(pDC, GetImage(), rect.TopLeft(), ILD_NORMAL);
        rect.left += cx + margin;
    }
    DrawTextW(hdc, GetText(), -1, &rect, GetFormat() | DT_NOPREFIX);
    return TRUE;
}
