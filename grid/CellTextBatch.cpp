// Texts of neighbouring cells drawn in one call, and the glyph placement that makes it exact.
#include "grid/CellTextBatch.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Every character below 256 that a font is likely to draw, then one more glyph whose place checks
// the last one's advance.
std::wstring VerificationText()
{
    std::wstring text;
    for (wchar_t c = 0x20; c < 0x7F; c++)
        text += c;
    for (wchar_t c = 0xA0; c <= 0xFF; c++)
        text += c;
    return text + L"H";
}

// The pixels of a text drawn on a white bitmap for a DC like the given one, without or with explicit
// advances.
std::vector<DWORD> Drawn(HDC like, HFONT font, const std::wstring& text, int width, int height, const INT* advances)
{
    ScratchDib scratch(like, width, height);
    if (!scratch.Ready())
        return {};
    HGDIOBJ oldFont = SelectObject(scratch.Dc(), font);
    SetBkMode(scratch.Dc(), TRANSPARENT);
    SetTextColor(scratch.Dc(), RGB(0, 0, 0));
    ExtTextOutW(scratch.Dc(), 2, 2, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), advances);
    SelectObject(scratch.Dc(), oldFont);
    GdiFlush();
    return std::vector<DWORD>(scratch.Bits(), scratch.Bits() + static_cast<size_t>(width) * height);
}

// The bits of a pixel the DC draws: of its bitmap for a memory DC (asking the device for them costs
// a look at the display's settings, a round trip to the window server here, and a paint asks for
// every block of cells).
int BitsPerPixel(HDC hdc)
{
    BITMAP bitmap;
    HGDIOBJ selected = GetObjectType(hdc) == OBJ_MEMDC ? GetCurrentObject(hdc, OBJ_BITMAP) : nullptr;
    if (selected && GetObjectW(selected, sizeof(bitmap), &bitmap) == sizeof(bitmap))
        return bitmap.bmBitsPixel * bitmap.bmPlanes;
    return GetDeviceCaps(hdc, BITSPIXEL) * GetDeviceCaps(hdc, PLANES);
}

} // namespace

const GlyphTable* GlyphTable::For(HDC hdc)
{
    // A paint asks once per block of cells; the tables live as long as the program.
    static std::vector<std::unique_ptr<GlyphTable>> tables;
    HGDIOBJ font = GetCurrentObject(hdc, OBJ_FONT);
    LOGFONTW logFont;
    if (!font || GetObjectW(font, sizeof(logFont), &logFont) != sizeof(logFont) || GetMapMode(hdc) != MM_TEXT
        || GetGraphicsMode(hdc) != GM_COMPATIBLE || GetTextCharacterExtra(hdc) != 0
        || GetTextAlign(hdc) != (TA_LEFT | TA_TOP | TA_NOUPDATECP))
        return nullptr;
    int bitsPerPixel = BitsPerPixel(hdc);
    for (const auto& table : tables)
    {
        if (table->m_bitsPerPixel == bitsPerPixel && std::memcmp(&table->m_font, &logFont, sizeof(logFont)) == 0)
            return table->m_usable ? table.get() : nullptr;
    }
    if (tables.size() >= 32)
        return nullptr;
    auto table = std::make_unique<GlyphTable>();
    table->m_font = logFont;
    table->m_bitsPerPixel = bitsPerPixel;
    table->m_usable = table->Verify(hdc);
    tables.push_back(std::move(table));
    return tables.back()->m_usable ? tables.back().get() : nullptr;
}

// Finds the glyph format whose advances place a text exactly where the system's own drawing of it
// puts its glyphs; without one, texts in this font are not batched.
bool GlyphTable::Verify(HDC hdc)
{
    TEXTMETRICW tm;
    if (!GetTextMetricsW(hdc, &tm) || tm.tmOverhang != 0)
        return false;
    m_ascent = tm.tmAscent;
    const std::wstring text = VerificationText();
    HFONT font = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
    int width = 4 + static_cast<int>(text.size()) * (tm.tmMaxCharWidth + 2);
    int height = 4 + tm.tmHeight;
    const std::vector<DWORD> own = Drawn(hdc, font, text, width, height, nullptr);
    if (own.empty())
        return false;
    for (UINT format : {UINT(GGO_BITMAP), UINT(GGO_GRAY4_BITMAP), UINT(GGO_GRAY8_BITMAP), UINT(GGO_GRAY2_BITMAP)})
    {
        m_format = format;
        for (Glyph& glyph : m_glyphs)
            glyph = Glyph();
        std::vector<INT> advances;
        for (wchar_t c : text)
        {
            const Glyph& glyph = GlyphOf(hdc, c);
            if (!glyph.usable)
                break;
            advances.push_back(glyph.advance);
        }
        if (advances.size() == text.size() && Drawn(hdc, font, text, width, height, advances.data()) == own)
        {
            // Only the characters whose places were just seen are placed from the table.
            for (wchar_t c : text)
                m_glyphs[c].verified = true;
            CaptureMasks(hdc, text, advances, width, height);
            return true;
        }
    }
    return false;
}

// The font's glyph pixels, kept only when the verification text put together from them, in a colour
// of its own, is the system's drawing of it pixel for pixel.
void GlyphTable::CaptureMasks(HDC hdc, const std::wstring& text, const std::vector<INT>& advances, int width,
                              int height)
{
    m_masksUsable = false;
    if (!m_masks.Capture(hdc))
        return;
    for (wchar_t c : text)
    {
        if (!m_masks.Has(c))
            return;
    }
    const COLORREF colour = RGB(0x12, 0x34, 0x56);
    DWORD pixel = 0;
    DibCanvas canvas;
    ScratchDib system(hdc, width, height), composed(hdc, width, height);
    if (!system.Ready() || !composed.Ready() || !DibCanvas::PixelOf(colour, pixel) || !canvas.Attach(composed.Dc()))
        return;
    HGDIOBJ old = SelectObject(system.Dc(), GetCurrentObject(hdc, OBJ_FONT));
    SetBkMode(system.Dc(), TRANSPARENT);
    SetTextColor(system.Dc(), colour);
    ExtTextOutW(system.Dc(), 2, 2, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), advances.data());
    SelectObject(system.Dc(), old);
    GdiFlush();
    m_masks.Draw(canvas, 2, 2, text.c_str(), static_cast<int>(text.size()), advances.data(), pixel);
    m_masksUsable = std::equal(system.Bits(), system.Bits() + static_cast<size_t>(width) * height, composed.Bits());
}

const GlyphTable::Glyph& GlyphTable::GlyphOf(HDC hdc, wchar_t c) const
{
    Glyph& glyph = m_glyphs[c & 0xFF];
    if (glyph.known)
        return glyph;
    glyph.known = true;
    GLYPHMETRICS gm;
    if (GetGlyphOutlineW(hdc, c, m_format, &gm, 0, nullptr, &kIdentity) == GDI_ERROR || gm.gmCellIncY != 0)
        return glyph;
    glyph.usable = true;
    glyph.advance = gm.gmCellIncX;
    glyph.left = gm.gmptGlyphOrigin.x;
    glyph.right = glyph.left + static_cast<int>(gm.gmBlackBoxX);
    glyph.top = m_ascent - gm.gmptGlyphOrigin.y;
    glyph.bottom = glyph.top + static_cast<int>(gm.gmBlackBoxY);
    return glyph;
}

bool GlyphTable::InkInside(HDC hdc, const wchar_t* text, int length, int x, int y, const RECT& clip, INT* advances) const
{
    for (int i = 0; i < length; i++)
    {
        if (text[i] >= 256)
            return false;
        const Glyph& glyph = GlyphOf(hdc, text[i]);
        if (!glyph.verified || x + glyph.left < clip.left || x + glyph.right > clip.right || y + glyph.top < clip.top
            || y + glyph.bottom > clip.bottom)
            return false;
        if (advances)
            advances[i] = glyph.advance;
        x += glyph.advance;
    }
    return true;
}

void CellTextBatch::Add(const GlyphTable* glyphs, int x, int y, const wchar_t* text, int length, const INT* advances)
{
    HGDIOBJ font = GetCurrentObject(m_hdc, OBJ_FONT);
    COLORREF colour = GetTextColor(m_hdc);
    if (!m_text.empty() && (font != m_font || glyphs != m_glyphs || colour != m_colour || y != m_y || x < m_pen))
        Flush();
    if (m_text.empty())
    {
        m_glyphs = glyphs;
        m_font = font;
        m_colour = colour;
        m_x = m_pen = x;
        m_y = y;
    }
    else
    {
        // The last glyph's advance reaches this text's start.
        m_advances.back() += x - m_pen;
        m_pen = x;
    }
    m_text.insert(m_text.end(), text, text + length);
    m_advances.insert(m_advances.end(), advances, advances + length);
    for (int i = 0; i < length; i++)
        m_pen += advances[i];
}

// Sets the glyphs' pixels in the DC's DIB section; false (nothing drawn) where that cannot be done
// exactly as the system would draw them.
bool CellTextBatch::DrawFromMasks()
{
    const GlyphMasks* masks = m_glyphs ? m_glyphs->Masks() : nullptr;
    DWORD pixel = 0;
    if (!masks || !DibCanvas::PixelOf(m_colour, pixel))
        return false;
    for (wchar_t c : m_text)
    {
        if (!masks->Has(c))
            return false;
    }
    if (m_canvasFound == 0)
        m_canvasFound = m_canvas.Attach(m_hdc) ? 1 : -1;
    if (m_canvasFound < 0 || !m_canvas.StillOn(m_hdc))
        return false;
    masks->Draw(m_canvas, m_x, m_y, m_text.data(), static_cast<int>(m_text.size()), m_advances.data(), pixel);
    return true;
}

void CellTextBatch::Flush()
{
    if (m_text.empty())
        return;
    if (DrawFromMasks())
    {
        m_text.clear();
        m_advances.clear();
        return;
    }
    HGDIOBJ font = GetCurrentObject(m_hdc, OBJ_FONT);
    COLORREF colour = GetTextColor(m_hdc);
    if (font != m_font)
        SelectObject(m_hdc, m_font);
    if (colour != m_colour)
        SetTextColor(m_hdc, m_colour);
    int bkMode = SetBkMode(m_hdc, TRANSPARENT);
    ExtTextOutW(m_hdc, m_x, m_y, 0, nullptr, m_text.data(), static_cast<UINT>(m_text.size()), m_advances.data());
    if (bkMode != TRANSPARENT)
        SetBkMode(m_hdc, bkMode);
    if (colour != m_colour)
        SetTextColor(m_hdc, colour);
    if (font != m_font)
        SelectObject(m_hdc, font);
    m_text.clear();
    m_advances.clear();
}
