// The characters of a TrueType font program's glyphs, read back from its 'cmap' table (Windows
// Unicode subtables, formats 4 and 12): for two-byte fonts that come without a ToUnicode map.
#pragma once
#include <map>
#include <string>

namespace pdf {

// Glyph index to character, the lowest character where several share a glyph; empty when the
// program has no such table or is damaged.
std::map<unsigned, unsigned long> GlyphCharacters(const std::string& program);

} // namespace pdf
