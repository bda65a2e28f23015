// The fonts a page's text is drawn with, one per face, pixel height and angle. A page uses only a
// few many times, so a few are kept; a crafted page that asks for a new size at every string
// cannot make them pile up.
#pragma once
#include "viewer/PageFonts.h"
#include <windows.h>
#include <string>
#include <vector>

namespace viewer {

// The tallest font made for page text; taller text is drawn from its outlines.
const int kMaxTextPixels = 2048;

class TextFontCache
{
public:
    static const size_t kKept = 16;

    explicit TextFontCache(HDC dc) : m_dc(dc) {}
    ~TextFontCache();
    TextFontCache(const TextFontCache&) = delete;
    TextFontCache& operator=(const TextFontCache&) = delete;

    // The font of that installed face at that pixel height (at most kMaxTextPixels) and angle
    // (tenths of a degree); the least recently used one goes when more than kKept are made.
    HFONT Font(const std::wstring& installedFace, int height, int angle, const pdf::PageFont& font);

private:
    struct Entry
    {
        std::wstring key;
        HFONT font;
        unsigned long lastUse;
    };
    void Evict();

    HDC m_dc;
    std::vector<Entry> m_entries;
    std::vector<HFONT> m_selected; // evicted while selected into the device: deleted at the end
    unsigned long m_uses = 0;
};

} // namespace viewer
