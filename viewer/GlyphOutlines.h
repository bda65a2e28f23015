// Text too tall for a font of its own: its glyphs' outlines, read from a font at a size the system
// can make, scaled up and filled. What falls on the page looks as the text would; the device clips
// the rest.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace viewer {

// Where each character of the text starts, in pixels of the font selected into the device (one
// more entry than characters: the last is the text's end).
std::vector<double> CharacterStarts(HDC dc, const std::wstring& text);

// Fills the outlines of the text's characters in the font selected into the device (upright, at a
// pixel height the system can make). toDevice maps a point of the glyphs' space (pixels of that
// font, y up, from the text's origin) to the device; character i starts at starts[i].
void FillGlyphOutlines(HDC dc, const std::wstring& text, const std::vector<double>& starts, COLORREF colour,
                       const std::function<POINT(double x, double y)>& toDevice);

} // namespace viewer
