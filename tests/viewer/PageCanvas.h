// A white bitmap of a page for drawing tests: drawn into through its device context, read back one
// grey level a pixel.
#pragma once
#include <windows.h>
#include <vector>

struct PixelBox
{
    int left, top, right, bottom;
};

class PageCanvas
{
public:
    PageCanvas(int width, int height);
    ~PageCanvas();
    PageCanvas(const PageCanvas&) = delete;
    PageCanvas& operator=(const PageCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The grey levels (0 black) of what was drawn so far, row by row.
    std::vector<unsigned char> Grey() const;

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    const unsigned char* m_bits = nullptr;
};

// Pixels darker than mid-grey inside the box (clipped to the image).
int DarkIn(const std::vector<unsigned char>& grey, int width, const PixelBox& box);
