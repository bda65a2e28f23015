// Pages as independent tools see them, for comparing this viewer's drawing: the words and boxes
// pdftotext -bbox finds, and the page drawn by the viewer at the resolution of pdftoppm's page
// (ReadPgm in PageCanvas.h).
#pragma once
#include "PageCanvas.h"
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

// The first page as this viewer draws it (page content only, no fields) at that scale.
GreyPage DrawOwnPage(const pdf::FormDocument& doc, int width, int height, double scale);

struct Word
{
    std::string text; // UTF-8, entities as pdftotext writes them
    double box[4];    // left, top, right, bottom in points from the top left
};

// The words and their boxes as pdftotext found them on the page.
std::vector<Word> ReadWords(const std::wstring& path);

// The form's file read; a test fails where it cannot be read.
pdf::FormDocument ReadTestForm(const std::wstring& path);
