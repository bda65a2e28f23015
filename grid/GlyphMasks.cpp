// Capturing glyphs from the system's drawing and setting their pixels in a DIB.
#include "grid/GlyphMasks.h"
#include <algorithm>

namespace {

const DWORD kWhite = 0xFFFFFF;

bool Captured(wchar_t c)
{
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF);
}

} // namespace

bool GlyphMasks::Capture(HDC like)
{
    TEXTMETRICW tm;
    HGDIOBJ font = GetCurrentObject(like, OBJ_FONT);
    if (!font || !GetTextMetricsW(like, &tm) || tm.tmHeight <= 0 || tm.tmMaxCharWidth <= 0)
        return false;
    // Room around the glyph's place for ink that reaches past its cell on any side.
    const int marginX = 2 * tm.tmMaxCharWidth, marginY = tm.tmHeight;
    const int width = 2 * marginX + tm.tmMaxCharWidth, height = 2 * marginY + tm.tmHeight;
    if (width > 0x7FFF / 2 || height > 0x7FFF / 2)
        return false;

    ScratchDib scratch(like, width, height);
    HDC dc = scratch.Dc();
    DWORD* bits = scratch.Bits();
    bool smooth = false;
    m_runs.clear();
    if (scratch.Ready())
    {
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        const DWORD* pixels = bits;
        for (int c = 0; c < 256 && !smooth; c++)
        {
            m_first[c] = static_cast<unsigned>(m_runs.size());
            m_has[c] = false;
            if (!Captured(static_cast<wchar_t>(c)))
                continue;
            std::fill(bits, bits + width * height, kWhite);
            wchar_t text = static_cast<wchar_t>(c);
            if (!ExtTextOutW(dc, marginX, marginY, 0, nullptr, &text, 1, nullptr))
                continue;
            GdiFlush();
            for (int y = 0; y < height && !smooth; y++)
            {
                const DWORD* row = pixels + y * width;
                for (int x = 0; x < width; x++)
                {
                    DWORD p = row[x] & 0xFFFFFF;
                    if (p == kWhite)
                        continue;
                    if (p != 0)
                    {
                        smooth = true;
                        break;
                    }
                    int end = x;
                    while (end < width && (row[end] & 0xFFFFFF) == 0)
                        end++;
                    m_runs.push_back(Run{static_cast<short>(y - marginY), static_cast<short>(x - marginX),
                                         static_cast<short>(end - x)});
                    x = end - 1;
                }
            }
            m_has[c] = true;
        }
        m_first[256] = static_cast<unsigned>(m_runs.size());
        SelectObject(dc, oldFont);
    }
    if (!scratch.Ready() || smooth)
    {
        std::fill(m_has, m_has + 256, false);
        m_runs.clear();
        return false;
    }
    return true;
}

void GlyphMasks::Draw(const DibCanvas& canvas, int x, int y, const wchar_t* text, int length, const INT* advances,
                      DWORD pixel) const
{
    const RECT& clip = canvas.Clip();
    x += canvas.OffsetX();
    y += canvas.OffsetY();
    for (int i = 0; i < length; x += advances[i], i++)
    {
        wchar_t c = text[i];
        for (unsigned r = m_first[c]; r < m_first[c + 1]; r++)
        {
            const Run& run = m_runs[r];
            int top = y + run.dy;
            if (top < clip.top || top >= clip.bottom)
                continue;
            int left = std::max<int>(x + run.dx, clip.left);
            int right = std::min<int>(x + run.dx + run.length, clip.right);
            if (left < right)
                std::fill(canvas.Row(top) + left, canvas.Row(top) + right, pixel);
        }
    }
}
