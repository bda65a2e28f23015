// Whether a text was drawn whole: the dark pixels ("ink") of a text drawn by GDI on its own, found
// unchanged inside a picture of a control. A text cut at its top, bottom or sides is not found.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CGridCtrl;

struct InkPicture
{
    int width = 0;
    int height = 0;
    std::vector<bool> ink; // row by row

    bool At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x]; }
    int Count() const;
};

// The text drawn in black on white with the font, cropped to its ink.
InkPicture TextInk(HFONT font, const std::wstring& text);
// The grid painted by its own drawing code into a bitmap, cut to the rectangle (client coordinates).
InkPicture GridInk(CGridCtrl& grid, const RECT& area);
// A window's client area as it paints itself into a bitmap when asked to print its client area.
InkPicture ClientInk(HWND window);
// Whether the pattern's ink appears somewhere in the picture exactly, every pixel of the pattern's
// box alike.
bool ContainsInk(const InkPicture& picture, const InkPicture& pattern);
