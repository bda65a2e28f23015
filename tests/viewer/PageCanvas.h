// A white bitmap of a page for drawing tests: drawn into through its device context, read back one
// grey level a pixel.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "tests/support/Dib32.h"

struct PixelBox
{
    int left, top, right, bottom;
};

class PageCanvas
{
public:
    PageCanvas(int width, int height);

    HDC Dc() const { return m_dib.Dc(); }
    int Width() const { return m_dib.Width(); }
    int Height() const { return m_dib.Height(); }
    // The grey levels (0 black) of what was drawn so far, row by row.
    std::vector<unsigned char> Grey() const;

private:
    Dib32 m_dib;
};

// Pixels darker than mid-grey inside the box (clipped to the image).
int DarkIn(const std::vector<unsigned char>& grey, int width, const PixelBox& box);

// A grey page: one byte a pixel, 0 black.
struct GreyPage
{
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    int DarkIn(int left, int top, int right, int bottom) const { return ::DarkIn(pixels, width, {left, top, right, bottom}); }
};

// The binary PGM file pdftoppm writes; an empty page when the file is missing or not one.
GreyPage ReadPgm(const std::wstring& path);
