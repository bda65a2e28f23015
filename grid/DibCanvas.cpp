// Finding the bits, origin and clip of a memory DC's 32-bit DIB section.
#include "grid/DibCanvas.h"
#include <algorithm>

namespace {

BITMAPINFO Header32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Whether the first row in memory is the bottom one of the picture (false when that cannot be told).
// GetObject reports a section's height without the sign that tells: a pixel inside the clip is
// changed in memory for a moment, at its place were the rows stored top-down, and read through the DC.
bool RowOrder(HDC hdc, const DIBSECTION& dib, const RECT& clip, POINT offset, bool& bottomUp)
{
    bottomUp = false;
    const int x = clip.left, y = clip.top;
    if (IsRectEmpty(&clip) || y == dib.dsBm.bmHeight - 1 - y)
        return true;   // nothing is drawn, or the row is the same either way
    DWORD* pixel = reinterpret_cast<DWORD*>(static_cast<BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes) + x;
    const DWORD kept = *pixel;
    COLORREF before = GetPixel(hdc, x - offset.x, y - offset.y);
    *pixel = kept ^ 0xFFFFFF;
    COLORREF after = GetPixel(hdc, x - offset.x, y - offset.y);
    *pixel = kept;
    if (before == CLR_INVALID || after == CLR_INVALID)
        return false;
    bottomUp = before == after;
    return true;
}

} // namespace

bool DibCanvas::Attach(HDC hdc)
{
    m_bits = nullptr;
    if (!hdc || GetObjectType(hdc) != OBJ_MEMDC || GetMapMode(hdc) != MM_TEXT || GetLayout(hdc) != 0
        || GetGraphicsMode(hdc) != GM_COMPATIBLE)
        return false;
    DIBSECTION dib;
    HGDIOBJ bitmap = GetCurrentObject(hdc, OBJ_BITMAP);
    if (!bitmap || GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits
        || dib.dsBmih.biBitCount != 32 || dib.dsBm.bmWidth <= 0 || dib.dsBm.bmHeight <= 0)
        return false;
    if (dib.dsBmih.biCompression == BI_BITFIELDS)
    {
        if (dib.dsBitfields[0] != 0xFF0000 || dib.dsBitfields[1] != 0xFF00 || dib.dsBitfields[2] != 0xFF)
            return false;
    }
    else if (dib.dsBmih.biCompression != BI_RGB)
    {
        return false;
    }

    // The clip region (with the meta region) in device pixels; none is the whole bitmap.
    RECT clip = {0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region)
        return false;
    int hasRegion = GetRandomRgn(hdc, region, 3);
    int kind = hasRegion == 1 ? GetRgnBox(region, &clip) : SIMPLEREGION;
    DeleteObject(region);
    if (hasRegion < 0 || (kind != SIMPLEREGION && kind != NULLREGION))
        return false;
    RECT bounds = {0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight};
    if (kind == NULLREGION || !IntersectRect(&m_clip, &clip, &bounds))
        SetRectEmpty(&m_clip);

    POINT window, viewport;
    GetWindowOrgEx(hdc, &window);
    GetViewportOrgEx(hdc, &viewport);
    m_offsetX = viewport.x - window.x;
    m_offsetY = viewport.y - window.y;

    GdiFlush();
    BYTE* bits = static_cast<BYTE*>(dib.dsBm.bmBits);
    ptrdiff_t rowBytes = dib.dsBm.bmWidthBytes;
    bool bottomUp = false;
    if (!RowOrder(hdc, dib, m_clip, POINT{m_offsetX, m_offsetY}, bottomUp))
        return false;
    if (bottomUp)
    {
        // Bottom-up: the first row in memory is the last one shown.
        bits += rowBytes * (dib.dsBm.bmHeight - 1);
        rowBytes = -rowBytes;
    }
    m_bitmap = bitmap;
    m_bits = reinterpret_cast<DWORD*>(bits);
    m_stride = rowBytes / 4;
    return true;
}

bool DibCanvas::PixelOf(COLORREF colour, DWORD& pixel)
{
    if (colour >> 24)
        return false;
    pixel = (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8)
            | GetBValue(colour);
    return true;
}

bool DibCanvas::StillOn(HDC hdc) const
{
    if (!m_bits || GetCurrentObject(hdc, OBJ_BITMAP) != m_bitmap)
        return false;
    GdiFlush();
    return true;
}

HBITMAP CreateDib32(HDC like, int width, int height, DWORD** bits)
{
    BITMAPINFO info = Header32(width, -height);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(like, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<DWORD*>(memory);
    return bitmap;
}

ScratchDib::ScratchDib(HDC like, int width, int height)
{
    m_dc = CreateCompatibleDC(like);
    m_bitmap = m_dc ? CreateDib32(m_dc, width, height, &m_bits) : nullptr;
    if (m_bitmap && m_bits)
    {
        m_old = SelectObject(m_dc, m_bitmap);
        std::fill(m_bits, m_bits + static_cast<size_t>(width) * height, 0xFFFFFF);
    }
}

ScratchDib::~ScratchDib()
{
    if (m_old)
        SelectObject(m_dc, m_old);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}
