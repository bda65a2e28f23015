// The fonts a page draws its text with: each font resource of the page stands for the nearest
// system font (the standard 14 fonts and the usual names of others), and its one-byte codes for
// the characters they mean.
#pragma once
#include "viewer/FontCodes.h"
#include <map>
#include <memory>
#include <string>

namespace pdf {

struct PageFont
{
    std::wstring face = L"Arial"; // the system font drawn instead
    bool bold = false;
    bool italic = false;
    bool symbolic = false;         // codes are glyph positions of a symbol font, not text
    bool dingbats = false;         // ... of the dingbats font, drawn with their Wingdings look-alikes
    // What the font's codes mean, read from its encoding, widths and maps; null: one-byte codes read
    // as SimpleFontText reads them, advancing by the drawn width.
    std::shared_ptr<const FontCodes> codes;
};

// Font resources of a page by their resource name ("F1", "Helv").
using PageFonts = std::map<std::string, PageFont>;

// Descriptor flags of a font (its /FontDescriptor /Flags).
const int kFontFixedPitch = 1 << 0;
const int kFontSerif = 1 << 1;
const int kFontSymbolic = 1 << 2;
const int kFontItalic = 1 << 6;
const int kFontForceBold = 1 << 18;

// The system font nearest to a font of that base name ("Helvetica-BoldOblique", "ABCDEF+Times-Roman",
// "Arial,Bold"); the descriptor flags decide what the name leaves open (0 when there are none).
PageFont NearestSystemFont(const std::string& baseFont, int descriptorFlags);

// The text of one-byte codes in a simple font: Windows ANSI codes for text fonts (the encoding the
// writers of forms use), the codes as they are for symbol fonts, the marks forms use (checks,
// crosses, dots, squares, diamonds, stars) moved to their Wingdings places for the dingbats font.
std::wstring SimpleFontText(const std::string& codes, const PageFont& font);

} // namespace pdf
