// Pages as independent tools see them, for comparing this viewer's drawing: the grey page pdftoppm
// renders (binary PGM), the words and boxes pdftotext -bbox finds, and the page drawn by the viewer
// at the same resolution.
#pragma once
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

// A grey page: one byte a pixel, 0 black.
struct GreyPage
{
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    int DarkIn(int left, int top, int right, int bottom) const;
};

// The binary PGM file pdftoppm writes; empty when it cannot be read.
GreyPage ReadPgm(const std::wstring& path);

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
