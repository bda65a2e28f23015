// Splitting a shown string into glyphs with their text and advance.
#include "viewer/FontCodes.h"
#include "viewer/PdfForm.h"

namespace pdf {

std::vector<ShownGlyph> FontCodes::Decode(const std::string& codes) const
{
    std::vector<ShownGlyph> glyphs;
    for (size_t pos = 0; pos < codes.size();) {
        ShownGlyph glyph;
        int length = 1;
        unsigned code;
        if (composite) {
            code = encoding.NextCode(codes, pos, length);
            unsigned cid = encoding.Cid(code, length);
            auto width = cidWidths.find(cid);
            glyph.advance = width == cidWidths.end() ? defaultWidth : width->second;
            if (!(toUnicode && toUnicode->Text(code, length, glyph.text))) {
                auto character = cidCharacters.find(cid);
                if (cidIsUnicode) AppendCodePoint(glyph.text, cid);
                else if (character != cidCharacters.end()) AppendCodePoint(glyph.text, character->second);
            }
        } else {
            code = static_cast<unsigned char>(codes[pos]);
            int index = static_cast<int>(code) - firstChar;
            if (index >= 0 && index < static_cast<int>(widths.size())) glyph.advance = widths[index];
            if (!(toUnicode && toUnicode->Text(code, 1, glyph.text))) glyph.text = texts[code];
        }
        glyph.wordSpace = length == 1 && code == 32;
        pos += length;
        glyphs.push_back(glyph);
    }
    return glyphs;
}

} // namespace pdf
