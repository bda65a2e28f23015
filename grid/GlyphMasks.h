// The pixels a font's glyphs set when the system draws them without smoothing, captured once from
// its own drawing, so that texts can be put straight into a 32-bit DIB: the system's text drawing
// costs far more per glyph than setting a glyph's few pixels.
#pragma once
#include <windows.h>
#include <vector>
#include "grid/DibCanvas.h"

class GlyphMasks
{
public:
    // Captures the glyphs of the characters 0x20-0x7E and 0xA0-0xFF of the DC's current font, each
    // drawn on its own; false when the font is drawn with more than the text colour (smoothed).
    bool Capture(HDC like);
    bool Has(wchar_t c) const { return c < 256 && m_has[c]; }

    // Draws the text with its first glyph's place (the top of the line) at the logical point (x, y),
    // each glyph advanced by its entry of advances, in the pixel value given, clipped to the canvas.
    // Every character must be one the masks have.
    void Draw(const DibCanvas& canvas, int x, int y, const wchar_t* text, int length, const INT* advances,
              DWORD pixel) const;

private:
    // A row of set pixels, relative to the glyph's place.
    struct Run
    {
        short dy, dx, length;
    };
    std::vector<Run> m_runs;
    unsigned m_first[257] = {};   // the runs of character c are [m_first[c], m_first[c + 1])
    bool m_has[256] = {};
};
