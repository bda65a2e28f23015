// A page as pdftoppm rendered it (grey PGM) with the words pdftotext found on it, and the check that
// this viewer draws each of those words with about as much ink in the same place.
#pragma once
#include "PageCanvas.h"
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

// The 108 dots per inch the reference pages are rendered at, as a scale of points.
const double kReferenceScale = 1.5;

// The first page as this viewer draws it (page content only, no fields) at the reference scale,
// turned and cut to the part shown.
GreyPage DrawOwnPage(const pdf::FormDocument& doc, int width, int height);

struct Word
{
    std::string text;
    double box[4]; // left, top, right, bottom in points from the top left
};

// The words and their boxes as pdftotext -bbox found them on the page.
std::vector<Word> ReadWords(const std::wstring& path);

// Expects the first page of doc drawn as the reference draws it: every word of the words file with
// between half and twice the reference's dark pixels in its box.
void ExpectDrawnAsReference(const pdf::FormDocument& doc, const std::wstring& pgmPath, const std::wstring& wordsPath);

// The form's file read; a test fails where it cannot be read.
pdf::FormDocument ReadTestForm(const std::wstring& path);
