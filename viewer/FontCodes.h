// What a font's codes mean: their text (through the font's encoding and differences, its ToUnicode
// map or its CMap) and how far each moves the text position (its widths), for simple fonts
// (Type 1, TrueType, Type 3) and two-byte fonts (Type0).
#pragma once
#include "viewer/CMap.h"
#include "viewer/FontEncodings.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pdf {

// One shown glyph: its text (empty: nothing to draw), its advance in text space units of a 1-point
// font (negative: the font gives none), and whether it is the one-byte code 32 (word spacing).
struct ShownGlyph
{
    std::wstring text;
    double advance = -1;
    bool wordSpace = false;
};

struct FontCodes
{
    bool composite = false;        // Type0: codes split by the CMap
    // Simple fonts: the text of each code, and the widths of codes firstChar onwards.
    CodeTexts texts;
    int firstChar = 0;
    std::vector<double> widths;    // already in text space units (glyph widths times the font matrix)
    // Two-byte fonts.
    CMap encoding = CMap::Identity();
    std::map<unsigned, double> cidWidths; // text space units
    double defaultWidth = 1.0;     // /DW, 1000 by default
    bool cidIsUnicode = false;     // a CID system whose CIDs are Unicode values
    std::map<unsigned, unsigned long> cidCharacters; // else: from the embedded TrueType program's cmap
    // Both: the ToUnicode map, preferred where it names a code.
    std::shared_ptr<const CMap> toUnicode;

    std::vector<ShownGlyph> Decode(const std::string& codes) const;
};

} // namespace pdf
