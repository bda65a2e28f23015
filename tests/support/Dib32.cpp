#include "tests/support/Dib32.h"

Dib32::Dib32(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const DWORD*>(bits);
    if (m_dc && m_bitmap)
        m_old = ::SelectObject(m_dc, m_bitmap);
}

Dib32::~Dib32()
{
    if (m_old)
        ::SelectObject(m_dc, m_old);
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
    if (m_dc)
        ::DeleteDC(m_dc);
}

const DWORD* Dib32::Bits() const
{
    ::GdiFlush();
    return m_bits;
}

COLORREF Dib32::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || !m_bits)
        return CLR_INVALID;
    const DWORD value = Bits()[y * m_width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void Dib32::Fill(COLORREF colour)
{
    RECT all = {0, 0, m_width, m_height};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(m_dc, &all, brush);
    ::DeleteObject(brush);
}
