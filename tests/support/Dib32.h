// A 32-bit top-down DIB section selected into a memory DC compatible with the screen, for tests that
// paint and read the pixels back. It frees both when it goes.
#pragma once
#include <windows.h>

class Dib32
{
public:
    Dib32(int width, int height);
    ~Dib32();
    Dib32(const Dib32&) = delete;
    Dib32& operator=(const Dib32&) = delete;

    bool Ready() const { return m_dc && m_bitmap && m_bits && m_old; }
    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Every pixel as 0x00RRGGBB, row by row (flushed before it is handed out).
    const DWORD* Bits() const;
    // The pixel's colour; CLR_INVALID outside the bitmap.
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    const DWORD* m_bits = nullptr;
};
