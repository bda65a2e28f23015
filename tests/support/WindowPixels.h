// What a window shows, read back from the screen, and where a form window draws its page's paper.
#pragma once
#include <windows.h>
#include <algorithm>
#include <vector>

// The client area's pixels as the window shows them after a full redraw (children included), or as
// it shows them now.
struct WindowPixels
{
    explicit WindowPixels(HWND hwnd, bool redrawFirst = true);
    COLORREF Pixel(int x, int y) const;
    int width = 0, height = 0;

private:
    std::vector<DWORD> m_bits;
};

// Where the first page's paper is drawn in a form window, found in the window's pixels (the first
// and last columns and the first row that differ from the grey around the pages), so that tests
// place points by what is on the screen rather than by the viewer's own layout arithmetic.
struct PaperOnScreen
{
    int left = 0, top = 0, right = 0; // right is one past the paper's last column
    // Window pixels per point for a page of that width in points.
    double Scale(double pageWidth) const { return (right - left) / pageWidth; }
};
// False (with a test failure) when the paper's edges are not both in view.
bool FindPaper(HWND form, PaperOnScreen& paper);

// The pixels of an area that pass a test: how many, and the box around them.
struct Ink
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
    void Add(int x, int y)
    {
        left = std::min(left, x), right = std::max(right, x + 1);
        top = std::min(top, y), bottom = std::max(bottom, y + 1);
        ++count;
    }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

template <typename Test>
Ink InkIn(const WindowPixels& pixels, const RECT& area, Test test)
{
    Ink ink;
    for (int y = std::max(0, static_cast<int>(area.top)); y < std::min(pixels.height, static_cast<int>(area.bottom)); ++y)
        for (int x = std::max(0, static_cast<int>(area.left)); x < std::min(pixels.width, static_cast<int>(area.right)); ++x)
            if (test(pixels.Pixel(x, y))) ink.Add(x, y);
    return ink;
}
