// Reading pdftoppm's and pdftotext's output and comparing this viewer's drawing of a page with it.
#include "ReferencePage.h"
#include "PageCanvas.h"
#include "tests/support/TempFolder.h"
#include "viewer/PageRenderer.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <regex>

GreyPage DrawOwnPage(const pdf::FormDocument& doc, int width, int height)
{
    PageCanvas canvas(width, height);
    viewer::PagePlacement place = viewer::PlacePage(doc.pages[0], kReferenceScale, 0, 0);
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

void ExpectDrawnAsReference(const pdf::FormDocument& doc, const std::wstring& pgmPath, const std::wstring& wordsPath)
{
    ASSERT_EQ(1u, doc.pages.size());
    GreyPage reference = ReadPgm(pgmPath);
    // The page as shown (its crop box, turned) is the size pdftoppm rendered.
    ASSERT_NEAR(doc.pages[0].ShownWidth() * kReferenceScale, reference.width, 1);
    ASSERT_NEAR(doc.pages[0].ShownHeight() * kReferenceScale, reference.height, 1);
    GreyPage own = DrawOwnPage(doc, reference.width, reference.height);
    std::vector<Word> words = ReadWords(wordsPath);
    ASSERT_GE(words.size(), 10u);
    for (const Word& w : words) {
        int left = static_cast<int>(std::floor(w.box[0] * kReferenceScale)) - 2, top = static_cast<int>(std::floor(w.box[1] * kReferenceScale)) - 2;
        int right = static_cast<int>(std::ceil(w.box[2] * kReferenceScale)) + 2, bottom = static_cast<int>(std::ceil(w.box[3] * kReferenceScale)) + 2;
        int theirs = reference.DarkIn(left, top, right, bottom);
        int ours = own.DarkIn(left, top, right, bottom);
        ASSERT_GT(theirs, 0) << w.text;
        // The same word in a metrically matching font: about as much ink in the same place.
        EXPECT_GE(ours * 2, theirs) << w.text << ": " << ours << " dark pixels, pdftoppm " << theirs;
        EXPECT_LE(ours, theirs * 2) << w.text << ": " << ours << " dark pixels, pdftoppm " << theirs;
    }
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
