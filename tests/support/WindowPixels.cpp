// Window pixels through the window's device context, and the paper found in them.
#include "tests/support/WindowPixels.h"
#include "tests/support/Dib32.h"
#include <gtest/gtest.h>
#include <algorithm>

WindowPixels::WindowPixels(HWND hwnd, bool redrawFirst)
{
    if (redrawFirst) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rc;
    GetClientRect(hwnd, &rc);
    width = rc.right;
    height = rc.bottom;
    Dib32 copy(width, height);
    HDC screen = GetDC(hwnd);
    const bool copied = copy.Ready() && BitBlt(copy.Dc(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, screen);
    m_bits.assign(static_cast<size_t>(width) * height, 0);
    if (copied)
        std::copy(copy.Bits(), copy.Bits() + m_bits.size(), m_bits.begin());
    else
        ADD_FAILURE() << "the window's pixels could not be read";
}

COLORREF WindowPixels::Pixel(int x, int y) const
{
    DWORD bits = m_bits[static_cast<size_t>(y) * width + x];
    return RGB((bits >> 16) & 0xFF, (bits >> 8) & 0xFF, bits & 0xFF);
}

bool FindPaper(HWND form, PaperOnScreen& paper)
{
    const WindowPixels pixels(form);
    // The corner is the margin around the pages; the middle row crosses the paper.
    const COLORREF around = pixels.Pixel(1, 1);
    const int middle = pixels.height / 2;
    int left = 0, right = pixels.width, top = 0;
    while (left < pixels.width && pixels.Pixel(left, middle) == around) ++left;
    while (right > left && pixels.Pixel(right - 1, middle) == around) --right;
    const int column = left + 2;
    while (top < pixels.height && pixels.Pixel(column, top) == around) ++top;
    if (left == 0 || right == pixels.width || right - left < 100 || top == 0 || top >= middle) {
        ADD_FAILURE() << "the paper is not wholly across the window: " << left << ".." << right << " from " << top;
        return false;
    }
    paper.left = left;
    paper.right = right;
    paper.top = top;
    return true;
}
