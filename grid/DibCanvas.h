// The 32-bit DIB section a memory DC draws into, seen through the DC's origin and its rectangular
// clip, for drawing that writes the pixels itself (a call to the system costs more than the few
// pixels of a glyph).
#pragma once
#include <windows.h>

class DibCanvas
{
public:
    // The DC's canvas; false when the DC does not draw into a 32-bit RGB DIB section with no scaling
    // or mirroring, or its clip is not one rectangle. Pending GDI drawing is flushed first, so the
    // bits are current. The canvas holds while the DC keeps its bitmap, origin and clip.
    bool Attach(HDC hdc);

    // Whether the canvas is still the one of the DC's bitmap (flushing pending GDI drawing when it is).
    bool StillOn(HDC hdc) const;

    // The pixel value a colour is drawn with; false for a palette colour.
    static bool PixelOf(COLORREF colour, DWORD& pixel);

    // The first pixel of a row of device pixels (0 <= y < height).
    DWORD* Row(int y) const { return m_bits + static_cast<ptrdiff_t>(y) * m_stride; }
    // Where drawing may go, in device pixels: inside the bitmap and the DC's clip.
    const RECT& Clip() const { return m_clip; }
    // Logical coordinates plus these are device pixels.
    int OffsetX() const { return m_offsetX; }
    int OffsetY() const { return m_offsetY; }

private:
    HGDIOBJ m_bitmap = nullptr;
    DWORD* m_bits = nullptr;
    ptrdiff_t m_stride = 0;   // in pixels, negative for a bottom-up bitmap
    RECT m_clip = {0, 0, 0, 0};
    int m_offsetX = 0, m_offsetY = 0;
};

// A 32-bit top-down DIB section for a DC like the one given; its pixels go to bits.
HBITMAP CreateDib32(HDC like, int width, int height, DWORD** bits);

// A 32-bit top-down DIB section of its own on a memory DC, every pixel of it white, for drawing
// by the system that is then read back.
class ScratchDib
{
public:
    ScratchDib(HDC like, int width, int height);
    ~ScratchDib();
    ScratchDib(const ScratchDib&) = delete;
    ScratchDib& operator=(const ScratchDib&) = delete;
    bool Ready() const { return m_old != nullptr; }

    HDC Dc() const { return m_dc; }
    // The pixels; call GdiFlush before reading what the system drew.
    DWORD* Bits() const { return m_bits; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};
