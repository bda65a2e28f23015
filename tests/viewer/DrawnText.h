// The characters the viewer draws on a page and where, as the system records them: the page is drawn
// into an enhanced metafile and its text records are read back (text, reference point and spacing).
#pragma once
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

struct DrawnCharacter
{
    wchar_t character;
    double x;        // start of the character, points from the page's left
    double baseline; // points from the page's top
};

std::vector<DrawnCharacter> DrawnCharacters(const pdf::FormDocument& doc);

// The characters whose start lies in [left, right) and whose baseline lies in [top, bottom], in
// order of their start, blanks left out.
std::wstring DrawnTextIn(const std::vector<DrawnCharacter>& drawn, double left, double top, double right, double bottom);

// UTF-8 (with the XML entities pdftotext writes) as UTF-16, ligature characters as their letters.
std::wstring PlainWord(const std::string& utf8);
