// A small cache of the fonts page text is drawn with, the least recently used dropped first.
#include "viewer/TextFontCache.h"
#include "viewer/DrawingBudget.h"
#include <algorithm>

namespace viewer {

TextFontCache::~TextFontCache()
{
    for (const Entry& entry : m_entries) DeleteObject(entry.font);
    for (HFONT font : m_selected) DeleteObject(font);
}

HFONT TextFontCache::Font(const std::wstring& installedFace, int height, int angle, const pdf::PageFont& font)
{
    height = std::min(height, kMaxTextPixels);
    std::wstring key = installedFace + L"|" + std::to_wstring(height) + L"|" + std::to_wstring(angle) +
                       (font.bold ? L"b" : L"") + (font.italic ? L"i" : L"") + (font.symbolic ? L"s" : L"");
    ++m_uses;
    for (Entry& entry : m_entries)
        if (entry.key == key) {
            entry.lastUse = m_uses;
            return entry.font;
        }
    if (m_entries.size() >= kKept) Evict();
    HFONT made = CreateFontW(-height, 0, angle, angle, font.bold ? FW_BOLD : FW_NORMAL, font.italic, FALSE, FALSE,
                             font.symbolic ? SYMBOL_CHARSET : DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                             installedFace.c_str());
    if (!made) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (DrawingProbesForTest().fontMade) DrawingProbesForTest().fontMade(height);
    m_entries.push_back(Entry{key, made, m_uses});
    return made;
}

void TextFontCache::Evict()
{
    auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
                                   [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    // A font still selected into the device (drawing stopped between selecting and restoring it)
    // cannot be deleted yet.
    if (GetCurrentObject(m_dc, OBJ_FONT) == oldest->font) m_selected.push_back(oldest->font);
    else DeleteObject(oldest->font);
    m_entries.erase(oldest);
}

} // namespace viewer
