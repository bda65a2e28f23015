// The drawing tests' page bitmap: a 32-bit DIB section read back without the screen.
#include "PageCanvas.h"
#include <algorithm>

PageCanvas::PageCanvas(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const unsigned char*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    RECT all = {0, 0, width, height};
    FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

PageCanvas::~PageCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

std::vector<unsigned char> PageCanvas::Grey() const
{
    GdiFlush();
    std::vector<unsigned char> grey;
    grey.reserve(static_cast<size_t>(m_width) * m_height);
    for (int i = 0; i < m_width * m_height; ++i)
        grey.push_back(static_cast<unsigned char>((m_bits[4 * i] + m_bits[4 * i + 1] + m_bits[4 * i + 2]) / 3));
    return grey;
}

int DarkIn(const std::vector<unsigned char>& grey, int width, const PixelBox& box)
{
    int height = width > 0 ? static_cast<int>(grey.size() / width) : 0;
    int count = 0;
    for (int y = std::max(0, box.top); y < std::min(height, box.bottom); ++y)
        for (int x = std::max(0, box.left); x < std::min(width, box.right); ++x) count += grey[y * width + x] < 160;
    return count;
}
