// What a window shows, read back from the screen, and where a form window draws its page's paper.
#pragma once
#include <windows.h>
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
