// Readers of pdftoppm's and pdftotext's output, and the viewer's own page drawn beside them.
#include "ReferencePage.h"
#include "tests/support/TempFolder.h"
#include "viewer/PageRenderer.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <regex>

GreyPage DrawOwnPage(const pdf::FormDocument& doc, int width, int height, double scale)
{
    PageCanvas canvas(width, height);
    viewer::PagePlacement place;
    place.scale = scale;
    place.pageHeight = doc.pages[0].box[3];
    viewer::DrawFormPage(canvas.Dc(), doc, 0, place, false);
    GreyPage page;
    page.width = width;
    page.height = height;
    page.pixels = canvas.Grey();
    return page;
}

std::vector<Word> ReadWords(const std::wstring& path)
{
    std::vector<Word> words;
    std::string html = ReadWholeFile(path);
    std::regex word("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it) {
        Word w;
        w.text = (*it)[5];
        for (int i = 0; i < 4; ++i) w.box[i] = std::atof((*it)[i + 1].str().c_str());
        words.push_back(w);
    }
    return words;
}

pdf::FormDocument ReadTestForm(const std::wstring& path)
{
    pdf::FormDocument doc;
    std::string error;
    std::string bytes = ReadWholeFile(path);
    EXPECT_FALSE(bytes.empty()) << "missing test form";
    EXPECT_TRUE(pdf::ReadPdfForm(bytes, doc, error)) << error;
    return doc;
}
