// Font names to system fonts, and one-byte text codes to characters.
#include "viewer/PageFonts.h"
#include <algorithm>
#include <cctype>

namespace pdf {

namespace {
bool Has(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

// Windows ANSI differs from Latin-1 in 0x80-0x9F; the unused codes there stay as they are.
const wchar_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

wchar_t WingdingsOf(unsigned char dingbat)
{
    switch (dingbat) {
    case '3': case '4': return 0xFC;         // check marks
    case '7': case '8': return 0xFB;         // crosses
    case 'l': return 0x6C;                   // black circle
    case 'm': return 0xA1;                   // circle
    case 'n': case 'o': case 'p': return 0x6E; // squares
    case 'u': return 0x75;                   // diamond
    case 'H': return 0xAB;                   // star
    default: return dingbat;
    }
}
} // namespace

PageFont NearestSystemFont(const std::string& baseFont, int descriptorFlags)
{
    // A subset's name starts with six capitals and "+".
    std::string name = baseFont;
    if (name.size() > 7 && name[6] == '+' &&
        std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
        name.erase(0, 7);
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    PageFont font;
    if (Has(lower, "zapf") || Has(lower, "dingbat") || Has(lower, "wingding")) {
        font.face = L"Wingdings";
        font.symbolic = true;
        font.dingbats = !Has(lower, "wingding");
        return font;
    }
    if (lower == "symbol" || Has(lower, "symbolmt")) {
        font.face = L"Symbol";
        font.symbolic = true;
        return font;
    }
    bool named = true;
    if (Has(lower, "courier") || Has(lower, "mono") || Has(lower, "consol")) font.face = L"Courier New";
    else if (Has(lower, "times") || Has(lower, "serif") && !Has(lower, "sans") || Has(lower, "georgia") ||
             Has(lower, "garamond") || Has(lower, "roman"))
        font.face = L"Times New Roman";
    else if (Has(lower, "helvetica") || Has(lower, "arial") || Has(lower, "sans") || Has(lower, "verdana") ||
             Has(lower, "tahoma") || Has(lower, "calibri"))
        font.face = L"Arial";
    else named = false;
    if (!named) {
        if (descriptorFlags & kFontFixedPitch) font.face = L"Courier New";
        else if (descriptorFlags & kFontSerif) font.face = L"Times New Roman";
    }
    font.bold = Has(lower, "bold") || Has(lower, "black") || Has(lower, "heavy") || Has(lower, "semibold") ||
                Has(lower, "demi") || (descriptorFlags & kFontForceBold) != 0;
    font.italic = Has(lower, "italic") || Has(lower, "oblique") || (descriptorFlags & kFontItalic) != 0;
    return font;
}

std::wstring SimpleFontText(const std::string& codes, const PageFont& font)
{
    std::wstring text;
    for (unsigned char c : codes) {
        if (font.dingbats) text += WingdingsOf(c);
        else if (font.symbolic) text += static_cast<wchar_t>(c);
        else text += c >= 0x80 && c <= 0x9F ? kAnsiHigh[c - 0x80] : static_cast<wchar_t>(c);
    }
    return text;
}

} // namespace pdf
