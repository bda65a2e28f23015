#include "tests/pages/TextInk.h"

#include <algorithm>

#include "grid/GridCtrl.h"
#include "tests/support/Dib32.h"

namespace {

// Dark pixels of the rectangle: each colour channel below the middle grey.
InkPicture InkOf(const Dib32& dib, RECT area)
{
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, dib.Width());
    area.bottom = std::min<LONG>(area.bottom, dib.Height());
    InkPicture picture;
    picture.width = std::max<LONG>(0, area.right - area.left);
    picture.height = std::max<LONG>(0, area.bottom - area.top);
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
        {
            const COLORREF colour = dib.Pixel(x, y);
            picture.ink.push_back(GetRValue(colour) < 0x80 && GetGValue(colour) < 0x80 && GetBValue(colour) < 0x80);
        }
    return picture;
}

InkPicture CropToInk(const InkPicture& picture)
{
    int left = picture.width, top = picture.height, right = -1, bottom = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y))
            {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    InkPicture cropped;
    if (right < 0)
        return cropped;
    cropped.width = right - left + 1;
    cropped.height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            cropped.ink.push_back(picture.At(x, y));
    return cropped;
}

} // namespace

int InkPicture::Count() const
{
    int count = 0;
    for (bool dark : ink)
        count += dark ? 1 : 0;
    return count;
}

InkPicture TextInk(HFONT font, const std::wstring& text)
{
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE extent = {};
    ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);

    // A border round the text, so that nothing it draws is cut.
    const int border = 8;
    Dib32 canvas(extent.cx + 2 * border, extent.cy + 2 * border);
    canvas.Fill(RGB(255, 255, 255));
    old = ::SelectObject(canvas.Dc(), font);
    ::SetBkMode(canvas.Dc(), TRANSPARENT);
    ::SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    ::TextOutW(canvas.Dc(), border, border, text.c_str(), static_cast<int>(text.size()));
    ::SelectObject(canvas.Dc(), old);
    return CropToInk(InkOf(canvas, {0, 0, canvas.Width(), canvas.Height()}));
}

InkPicture GridInk(CGridCtrl& grid, const RECT& area)
{
    CRect client;
    grid.GetClientRect(&client);
    Dib32 canvas(client.Width(), client.Height());
    canvas.Fill(RGB(255, 255, 255));
    CDC dc;
    dc.Attach(canvas.Dc());
    grid.OnDraw(&dc);
    dc.Detach();
    return InkOf(canvas, area);
}

InkPicture ClientInk(HWND window)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    Dib32 canvas(client.right, client.bottom);
    canvas.Fill(RGB(255, 255, 255));
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    return InkOf(canvas, client);
}

bool ContainsInk(const InkPicture& picture, const InkPicture& pattern)
{
    if (pattern.width == 0 || pattern.width > picture.width || pattern.height > picture.height)
        return false;
    for (int top = 0; top + pattern.height <= picture.height; ++top)
        for (int left = 0; left + pattern.width <= picture.width; ++left)
        {
            bool same = true;
            for (int y = 0; y < pattern.height && same; ++y)
                for (int x = 0; x < pattern.width && same; ++x)
                    same = picture.At(left + x, top + y) == pattern.At(x, y);
            if (same)
                return true;
        }
    return false;
}
