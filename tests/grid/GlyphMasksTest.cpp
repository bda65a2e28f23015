// Texts put straight into a DIB's pixels from the glyphs captured off the system's own drawing: every
// character of the cells' font, whole or cut by a clip, on top-down and bottom-up bitmaps and through
// a moved origin, gives the pixels the system draws; where that cannot be had the canvas says no.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "GridTestSupport.h"
#include "grid/CellTextBatch.h"
#include "grid/DibCanvas.h"
#include "grid/MemDC.h"

namespace {

const COLORREF PAPER = RGB(0xF0, 0xF0, 0xE0);
const COLORREF INK = RGB(0x80, 0x10, 0xF0);

BITMAPINFO Header(int width, int height, int bitCount)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section (32 bits a pixel unless said) on a memory DC, rows stored top-down or bottom-up.
class Section
{
public:
    Section(int width, int height, bool bottomUp, int bitCount = 32) : width(width), height(height)
    {
        BITMAPINFO info = Header(width, bottomUp ? height : -height, bitCount);
        HDC screen = ::GetDC(nullptr);
        dc = ::CreateCompatibleDC(screen);
        ::ReleaseDC(nullptr, screen);
        void* memory = nullptr;
        bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<const BYTE*>(memory);
        if (bitmap)
            old = ::SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH paper = ::CreateSolidBrush(PAPER);
        ::FillRect(dc, &all, paper);
        ::DeleteObject(paper);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, INK);
    }
    ~Section()
    {
        if (old)
            ::SelectObject(dc, old);
        if (bitmap)
            ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    bool Ready() const { return dc && bitmap && bits && old; }
    // The pixels as 0x00RRGGBB, top row first whatever the storage.
    std::vector<DWORD> Pixels() const
    {
        ::GdiFlush();
        std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
        BITMAPINFO info = Header(width, -height, 32);
        if (::GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
            pixels.clear();
        return pixels;
    }

    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    const BYTE* bits = nullptr;
};

struct Difference
{
    int pixels = 0;
    int ink = 0;   // pixels of the ink colour in the system's drawing
    std::string first;
};

Difference Compare(const Section& system, const Section& composed)
{
    Difference d;
    std::vector<DWORD> a = system.Pixels(), b = composed.Pixels();
    EXPECT_EQ(static_cast<size_t>(system.width) * system.height, a.size());
    EXPECT_EQ(a.size(), b.size());
    const DWORD ink = (GetRValue(INK) << 16) | (GetGValue(INK) << 8) | GetBValue(INK);
    for (size_t i = 0; i < a.size() && i < b.size(); i++)
    {
        d.ink += (a[i] & 0xFFFFFF) == ink;
        if (a[i] == b[i])
            continue;
        if (d.pixels++ == 0)
            d.first = std::to_string(i % system.width) + "," + std::to_string(i / system.width);
    }
    return d;
}

// The grid's plain cell font on a DC; the DC keeps it until the test ends (the grid owns the font).
HGDIOBJ UseCellFont(TestGrid& t, HDC dc)
{
    return ::SelectObject(dc, t.grid.GetDefaultCell(FALSE, FALSE)->GetFontObject()->GetSafeHandle());
}

// Every character the masks have, drawn one by one by the system and from the masks, at places 29
// pixels apart, on canvases that are alike; the DCs may clip and have a moved origin.
void DrawEveryCharacterBothWays(const GlyphMasks& masks, Section& system, Section& composed, int& drawn)
{
    DWORD pixel = 0;
    ASSERT_TRUE(DibCanvas::PixelOf(INK, pixel));
    DibCanvas canvas;
    ASSERT_TRUE(canvas.Attach(composed.dc));
    drawn = 0;
    for (int c = 0x20; c < 0x100; c++)
    {
        if (!masks.Has(static_cast<wchar_t>(c)))
            continue;
        int x = 4 + (drawn % 16) * 29, y = 3 + (drawn / 16) * 29;
        wchar_t text = static_cast<wchar_t>(c);
        INT advance = 0;
        EXPECT_TRUE(::ExtTextOutW(system.dc, x, y, 0, nullptr, &text, 1, nullptr));
        masks.Draw(canvas, x, y, &text, 1, &advance, pixel);
        drawn++;
    }
}

} // namespace

TEST(GlyphMasks, EveryCharacterOfTheCellFontIsTheSystemsDrawing)
{
    TestGrid t(2, 2);
    for (bool bottomUp : {false, true})
    {
        Section system(480, 480, bottomUp), composed(480, 480, bottomUp);
        ASSERT_TRUE(system.Ready() && composed.Ready());
        UseCellFont(t, system.dc);
        UseCellFont(t, composed.dc);
        const GlyphTable* table = GlyphTable::For(composed.dc);
        ASSERT_NE(nullptr, table);
        // The cells' font is drawn without smoothing here; if it were not, texts would go back to the
        // system's drawing and this check could not be made.
        const GlyphMasks* masks = table->Masks();
        ASSERT_NE(nullptr, masks) << "the cells' font is drawn smoothed";
        for (wchar_t c = 0x20; c < 0x7F; c++)
            EXPECT_TRUE(masks->Has(c)) << int(c);
        EXPECT_FALSE(masks->Has(0x7F));
        EXPECT_FALSE(masks->Has(0x85));

        int drawn = 0;
        DrawEveryCharacterBothWays(*masks, system, composed, drawn);
        EXPECT_EQ(95 + 96, drawn);
        Difference d = Compare(system, composed);
        EXPECT_EQ(0, d.pixels) << "first at " << d.first << (bottomUp ? " (bottom-up)" : "");
        EXPECT_GT(d.ink, 2000);
    }
}

namespace {

// A clip that cuts through glyphs on every side, and an origin moved so that logical and device
// pixels differ.
void CheckClippedAndMoved(TestGrid& t, bool bottomUp)
{
    Section system(480, 480, bottomUp), composed(480, 480, bottomUp);
    ASSERT_TRUE(system.Ready() && composed.Ready());
    for (Section* s : {&system, &composed})
    {
        UseCellFont(t, s->dc);
        ::SetWindowOrgEx(s->dc, -7, 5, nullptr);
        // Device pixels 40-400 across, 27-250 down: through the glyphs of the second column and row.
        ::IntersectClipRect(s->dc, 33, 32, 393, 255);
    }
    const GlyphTable* table = GlyphTable::For(composed.dc);
    ASSERT_NE(nullptr, table);
    ASSERT_NE(nullptr, table->Masks());
    DibCanvas canvas;
    ASSERT_TRUE(canvas.Attach(composed.dc));
    EXPECT_EQ(7, canvas.OffsetX());
    EXPECT_EQ(-5, canvas.OffsetY());
    EXPECT_EQ(40, canvas.Clip().left);
    EXPECT_EQ(27, canvas.Clip().top);
    EXPECT_EQ(400, canvas.Clip().right);
    EXPECT_EQ(250, canvas.Clip().bottom);

    int drawn = 0;
    DrawEveryCharacterBothWays(*table->Masks(), system, composed, drawn);
    Difference d = Compare(system, composed);
    EXPECT_EQ(0, d.pixels) << "first at " << d.first;
    EXPECT_GT(d.ink, 1000);
    // Nothing outside the clip.
    std::vector<DWORD> pixels = composed.Pixels();
    const DWORD paper = (GetRValue(PAPER) << 16) | (GetGValue(PAPER) << 8) | GetBValue(PAPER);
    int outside = 0;
    for (int y = 0; y < 480; y++)
    {
        for (int x = 0; x < 480; x++)
            outside += (x < 40 || x >= 400 || y < 27 || y >= 250) && pixels[y * 480 + x] != paper;
    }
    EXPECT_EQ(0, outside);
}

} // namespace

TEST(GlyphMasks, CharactersCutByTheClipAndMovedByTheOriginAreTheSystemsDrawing)
{
    TestGrid t(2, 2);
    for (bool bottomUp : {false, true})
    {
        SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
        CheckClippedAndMoved(t, bottomUp);
    }
}

// A row of texts put together by a batch, drawn from the masks on a DIB section and by the system on
// a DIB whose clip is two rectangles (which the canvas refuses): both are the system's drawing of the
// texts one by one.
TEST(GlyphMasks, BatchedTextsMatchOnEveryCanvas)
{
    TestGrid t(2, 2);
    const wchar_t* texts[] = {L"M00042", L"Field 7", L"\u00c5gjy |_|", L"fj;W", L"01/02/2026 09:15"};
    for (bool split : {false, true})
    {
        Section system(600, 40, false), batched(600, 40, false);
        ASSERT_TRUE(system.Ready() && batched.Ready());
        UseCellFont(t, system.dc);
        UseCellFont(t, batched.dc);
        if (split)
        {
            HRGN two = ::CreateRectRgn(0, 0, 250, 40);
            HRGN second = ::CreateRectRgn(300, 0, 600, 40);
            ::CombineRgn(two, two, second, RGN_OR);
            ::SelectClipRgn(system.dc, two);
            ::SelectClipRgn(batched.dc, two);
            ::DeleteObject(two);
            ::DeleteObject(second);
            DibCanvas canvas;
            EXPECT_FALSE(canvas.Attach(batched.dc)) << "a clip of two rectangles";
        }
        const GlyphTable* table = GlyphTable::For(batched.dc);
        ASSERT_NE(nullptr, table);
        {
            CellTextBatch batch(batched.dc);
            int x = 5;
            for (const wchar_t* text : texts)
            {
                int length = static_cast<int>(wcslen(text));
                INT advances[32];
                RECT cell = {x - 4, 0, x + 120, 40};
                ASSERT_TRUE(table->InkInside(batched.dc, text, length, x, 10, cell, advances)) << text;
                batch.Add(table, x, 10, text, length, advances);
                EXPECT_TRUE(::ExtTextOutW(system.dc, x, 10, 0, nullptr, text, static_cast<UINT>(length), nullptr));
                x += 115;
            }
        }
        Difference d = Compare(system, batched);
        EXPECT_EQ(0, d.pixels) << "first at " << d.first << (split ? " (two rectangles)" : "");
        EXPECT_GT(d.ink, 150);
    }
}

TEST(DibCanvas, OnlyA32BitSectionWithPlainMappingIsACanvas)
{
    DibCanvas canvas;
    Section top(64, 32, false);
    ASSERT_TRUE(top.Ready());
    ASSERT_TRUE(canvas.Attach(top.dc));
    EXPECT_EQ(0, canvas.OffsetX());
    EXPECT_EQ(0, canvas.Clip().left);
    EXPECT_EQ(64, canvas.Clip().right);
    EXPECT_EQ(32, canvas.Clip().bottom);
    // Row 3 of a top-down section is 3 rows after the first in memory; of a bottom-up one, 28 rows
    // after the first stored.
    EXPECT_EQ(reinterpret_cast<const BYTE*>(canvas.Row(3)), top.bits + 3 * 64 * 4);
    Section bottom(64, 32, true);
    ASSERT_TRUE(bottom.Ready());
    ASSERT_TRUE(canvas.Attach(bottom.dc));
    EXPECT_EQ(reinterpret_cast<const BYTE*>(canvas.Row(3)), bottom.bits + 28 * 64 * 4);

    // A clip outside the bitmap leaves nothing to draw on.
    ::IntersectClipRect(top.dc, 100, 100, 200, 200);
    ASSERT_TRUE(canvas.Attach(top.dc));
    EXPECT_TRUE(::IsRectEmpty(&canvas.Clip()));

    Section wide(64, 32, false, 24);
    ASSERT_TRUE(wide.Ready());
    EXPECT_FALSE(canvas.Attach(wide.dc)) << "24 bits a pixel";

    Section scaled(64, 32, false);
    ASSERT_TRUE(scaled.Ready());
    ::SetMapMode(scaled.dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(scaled.dc, 1, 1, nullptr);
    ::SetViewportExtEx(scaled.dc, 2, 2, nullptr);
    EXPECT_FALSE(canvas.Attach(scaled.dc)) << "scaled";

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP compatible = ::CreateCompatibleBitmap(screen, 64, 32);
    HGDIOBJ old = ::SelectObject(memory, compatible);
    EXPECT_FALSE(canvas.Attach(memory)) << "a bitmap whose pixels cannot be reached";
    EXPECT_FALSE(canvas.Attach(screen)) << "the screen";
    ::SelectObject(memory, old);
    ::DeleteObject(compatible);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    DWORD pixel = 0;
    EXPECT_TRUE(DibCanvas::PixelOf(RGB(0x12, 0x34, 0x56), pixel));
    EXPECT_EQ(0x123456u, pixel);
    EXPECT_FALSE(DibCanvas::PixelOf(PALETTEINDEX(3), pixel));
}

// On a 32-bit display the grid paints into a 32-bit DIB section, where texts are put together from
// the masks.
TEST(DibCanvas, PaintBufferOnTheScreenIsACanvas)
{
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    ASSERT_EQ(32, ::GetDeviceCaps(screen, BITSPIXEL)) << "the test display is 32 bits a pixel";
    CDC target;
    target.Attach(screen);
    CBitmap bitmap;
    CreatePaintBitmap(bitmap, &target, 50, 20);
    target.Detach();
    ::ReleaseDC(nullptr, screen);
    DIBSECTION dib;
    ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectW(bitmap.GetSafeHandle(), sizeof(dib), &dib));
    EXPECT_EQ(32, dib.dsBmih.biBitCount);
    EXPECT_EQ(50, dib.dsBm.bmWidth);
    EXPECT_EQ(20, dib.dsBm.bmHeight);
    EXPECT_NE(nullptr, dib.dsBm.bmBits);
}
