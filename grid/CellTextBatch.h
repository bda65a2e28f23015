// Texts of neighbouring cells drawn in one ExtTextOut instead of one call a cell: a call costs far
// more than its glyphs, and a paint of the grid draws about a thousand cell texts. Each glyph is
// placed with an explicit advance at exactly the place a call of its own would put it (the
// advances the system draws with, checked once per font against its own drawing of a text), and a
// text joins only when all of its ink lies inside the rectangle it would be clipped to, so that
// the pixels are those of the cell-by-cell drawing.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "grid/GlyphMasks.h"

// How the system places and inks the glyphs of one font on one kind of DC: per character below
// 256, the advance of a text drawn without explicit advances and the box of its ink.
class GlyphTable
{
public:
    // The table of the DC's current font, or none when its placement cannot be reproduced.
    static const GlyphTable* For(HDC hdc);

    // Whether every glyph of the text, its first at (x, y) (the top of the line), has its ink inside
    // clip; each glyph's advance goes to advances when given.
    bool InkInside(HDC hdc, const wchar_t* text, int length, int x, int y, const RECT& clip, INT* advances) const;
    // The glyphs' pixels, when the font is drawn without smoothing and texts put together from
    // them were seen to equal the system's drawing; else none.
    const GlyphMasks* Masks() const { return m_masksUsable ? &m_masks : nullptr; }

private:
    struct Glyph
    {
        bool known = false, usable = false, verified = false;
        int advance = 0, left = 0, top = 0, right = 0, bottom = 0;
    };
    const Glyph& GlyphOf(HDC hdc, wchar_t c) const;
    bool Verify(HDC hdc);
    void CaptureMasks(HDC hdc, const std::wstring& text, const std::vector<INT>& advances, int width, int height);

    LOGFONTW m_font = {};
    int m_bitsPerPixel = 0;
    bool m_usable = false;
    UINT m_format = GGO_BITMAP;
    int m_ascent = 0;
    mutable Glyph m_glyphs[256];
    GlyphMasks m_masks;
    bool m_masksUsable = false;
};

class CellTextBatch
{
public:
    explicit CellTextBatch(HDC hdc) : m_hdc(hdc) {}
    ~CellTextBatch() { Flush(); }
    CellTextBatch(const CellTextBatch&) = delete;
    CellTextBatch& operator=(const CellTextBatch&) = delete;

    // Adds a text whose first glyph goes at (x, y) in the DC's current font (whose table glyphs is)
    // and text colour, with the glyphs' advances. Texts waiting in another font, colour or line are
    // drawn first.
    void Add(const GlyphTable* glyphs, int x, int y, const wchar_t* text, int length, const INT* advances);
    // Draws what waits, in the font and colour it was added in; the DC's own are kept. On a 32-bit
    // DIB section the glyphs' pixels are set directly when the font's masks can be had.
    void Flush();

private:
    bool DrawFromMasks();

    HDC m_hdc;
    // The DC's DIB, found at the first text drawn from masks (a paint run keeps the DC's bitmap,
    // origin and clip): 0 not looked for yet, 1 found, -1 none.
    DibCanvas m_canvas;
    int m_canvasFound = 0;
    const GlyphTable* m_glyphs = nullptr;
    HGDIOBJ m_font = nullptr;
    COLORREF m_colour = 0;
    int m_x = 0, m_y = 0;   // where the first glyph goes
    int m_pen = 0;          // where a glyph after the last one would go
    std::vector<wchar_t> m_text;
    std::vector<INT> m_advances;
};
