// Glyph names to the characters they stand for: the standard names of Latin text (Latin-1, Latin
// Extended-A, ligatures, dashes and quotes, common signs) and the "uniXXXX" and "uXXXX[XX]" forms.
#pragma once
#include <string>

namespace pdf {

// The text of a glyph name: "germandbls" is "\u00DF", the ligature "ffi" its three letters (drawn by
// any font), "uni0041" "A", "f_f" "ff", "a.sc" "a". Empty for a name it does not know.
std::wstring GlyphNameText(const std::string& name);

} // namespace pdf
