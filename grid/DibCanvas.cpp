// Finding the bits, origin and clip of a memory DC's 32-bit DIB section.
#include "grid/DibCanvas.h"
#include <algorithm>
#include <vector>

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

// The bottom row of the picture as GetDIBits hands it out.
bool BottomRow(HDC hdc, HBITMAP bitmap, const DIBSECTION& dib, std::vector<DWORD>& row)
{
    BITMAPINFO info = Header32(dib.dsBm.bmWidth, dib.dsBm.bmHeight);
    row.resize(static_cast<size_t>(dib.dsBm.bmWidth));
    return GetDIBits(hdc, bitmap, 0, 1, row.data(), &info, DIB_RGB_COLORS) == 1;
}

// Whether the first row in memory is the bottom one of the picture (false when that cannot be told).
// GetObject reports a section's height without the sign that tells: the first pixel stored is
// changed for a moment and the bottom row read back through the system.
bool RowOrder(HDC hdc, HBITMAP bitmap, const DIBSECTION& dib, bool& bottomUp)
{
    bottomUp = false;
    if (dib.dsBm.bmHeight == 1)
        return true;
    DWORD* first = static_cast<DWORD*>(dib.dsBm.bmBits);
    std::vector<DWORD> before, after;
    if (!BottomRow(hdc, bitmap, dib, before))
        return false;
    const DWORD kept = *first;
    *first = kept ^ 0xFFFFFF;
    bool read = BottomRow(hdc, bitmap, dib, after);
    *first = kept;
    bottomUp = read && (before[0] & 0xFFFFFF) != (after[0] & 0xFFFFFF);
    return read;
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
    if (!RowOrder(hdc, static_cast<HBITMAP>(bitmap), dib, bottomUp))
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
