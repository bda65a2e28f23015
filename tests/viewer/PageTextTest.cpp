// Text of page drawings as the imaging model places it: font, size and leading set in one text
// object and used in the next, the text matrix and its line start (Td, TD, Tm, T*, ', "), kerning
// in TJ, and the coordinate changes of cm undone by Q. Each glyph must land in its own box and
// nowhere else. Base fonts map to the nearest system fonts.
#include "PageCanvas.h"
#include "viewer/PageFonts.h"
#include "viewer/PageRenderer.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

const int kSide = 300; // page of 300 x 300 points drawn one pixel a point

// The page drawn with F1 as Helvetica, one pixel a point.
class TextPage
{
public:
    TextPage() : m_canvas(kSide, kSide) {}
    void Draw(const std::string& content)
    {
        viewer::PagePlacement place;
        place.pageHeight = kSide;
        pdf::PageFonts fonts;
        fonts["F1"] = pdf::NearestSystemFont("Helvetica", 0);
        viewer::DrawPageContent(m_canvas.Dc(), content, fonts, place, false);
        m_grey = m_canvas.Grey();
    }
    bool Dark(int x, int y) const { return m_grey[y * kSide + x] < 160; }
    int DarkIn(const PixelBox& box) const { return ::DarkIn(m_grey, kSide, box); }

private:
    PageCanvas m_canvas;
    std::vector<unsigned char> m_grey;
};

// The box an "H" of 20 points with its baseline at page point (x, y) is drawn in: 0.72 em wide
// and 0.72 em tall above the baseline, with a few pixels to spare.
PixelBox GlyphAt(double x, double y)
{
    int left = static_cast<int>(x), baseline = kSide - static_cast<int>(y);
    return {left - 3, baseline - 18, left + 19, baseline + 3};
}

} // namespace

TEST(PageText, TextStateAndMatricesPlaceEveryGlyph)
{
    TextPage page;
    page.Draw("BT /F1 20 Tf 30 TL ET\n"                          // font and leading only
              "q 1 0 0 1 100 0 cm BT 10 250 Td (H) Tj T* (H) Tj ET Q\n"
              "BT 1 0 0 1 20 150 Tm (H) ' ET\n"                   // ' moves to the next line first
              "BT 200 280 Td 0 -30 TD (H) Tj T* (H) Tj ET\n"      // TD sets the leading to 30
              "BT 10 40 Td [(H) -2000 (H)] TJ ET\n"               // 2000 thousandths of 20 points apart
              "BT 150 120 Td 5 2 (HH) \" ET\n"                    // 2 points between the glyphs
              "q 2 0 0 2 0 0 cm BT 1 0 0 1 100 10 Tm 0.5 0 0 0.5 0 0 cm ET Q\n"); // nothing shown
    // An H of Helvetica's measures is 0.722 em wide: 14.44 points at 20 points.
    const std::vector<PixelBox> boxes = {GlyphAt(110, 250), GlyphAt(110, 220), GlyphAt(20, 120), GlyphAt(200, 250),
                                    GlyphAt(200, 220), GlyphAt(10, 40),   GlyphAt(10 + 14.44 + 40, 40),
                                    GlyphAt(150, 90),  GlyphAt(150 + 14.44 + 2, 90)};
    int inBoxes = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        int dark = page.DarkIn(boxes[i]);
        EXPECT_GT(dark, 40) << "glyph " << i;
        inBoxes += dark;
    }
    // Nothing outside the boxes (boxes 7 and 8 overlap by a few columns: count those once).
    PixelBox overlap = {boxes[8].left, boxes[8].top, boxes[7].right, boxes[7].bottom};
    EXPECT_EQ(inBoxes - page.DarkIn(overlap), page.DarkIn({0, 0, kSide, kSide}));
}

TEST(PageText, CmAndTextMatrixScaleTheGlyphs)
{
    TextPage page;
    // 10 points in a text matrix of 2 and a coordinate system of 1.5: 30 points tall.
    page.Draw("q 1.5 0 0 1.5 0 0 cm BT /F1 10 Tf 2 0 0 2 20 20 Tm (H) Tj ET Q");
    int top = kSide, bottom = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (page.Dark(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    // The baseline at 30 points, the cap height 0.716 em of 30 points above it.
    EXPECT_NEAR(kSide - 30, bottom, 2);
    EXPECT_NEAR(kSide - 30 - 21.5, top, 2);
}

TEST(PageFonts, BaseFontsMapToTheNearestSystemFont)
{
    struct Case
    {
        const char* base;
        int flags;
        const wchar_t* face;
        bool bold, italic;
    };
    const Case cases[] = {
        {"Helvetica", 0, L"Arial", false, false},
        {"Helvetica-BoldOblique", 0, L"Arial", true, true},
        {"Times-Roman", 0, L"Times New Roman", false, false},
        {"Times-BoldItalic", 0, L"Times New Roman", true, true},
        {"Courier-Oblique", 0, L"Courier New", false, true},
        {"ABCDEF+Courier-Bold", 0, L"Courier New", true, false},
        {"Arial,BoldItalic", 0, L"Arial", true, true},
        {"TimesNewRomanPSMT", 0, L"Times New Roman", false, false},
        {"Symbol", 0, L"Symbol", false, false},
        {"ZapfDingbats", 0, L"Wingdings", false, false},
        {"Garamond-Regular", 0, L"Times New Roman", false, false},
        {"Unnamed", pdf::kFontSerif | pdf::kFontItalic, L"Times New Roman", false, true},
        {"Unnamed", pdf::kFontFixedPitch | pdf::kFontForceBold, L"Courier New", true, false},
        {"Unnamed", 0, L"Arial", false, false},
    };
    for (const Case& c : cases) {
        pdf::PageFont font = pdf::NearestSystemFont(c.base, c.flags);
        EXPECT_EQ(c.face, font.face) << c.base;
        EXPECT_EQ(c.bold, font.bold) << c.base;
        EXPECT_EQ(c.italic, font.italic) << c.base;
    }
    EXPECT_TRUE(pdf::NearestSystemFont("ZapfDingbats", 0).dingbats);
    EXPECT_TRUE(pdf::NearestSystemFont("Symbol", 0).symbolic);
}

TEST(PageFonts, OneByteCodesBecomeTheirCharacters)
{
    pdf::PageFont text = pdf::NearestSystemFont("Helvetica", 0);
    // Windows ANSI quotes, dash and euro; Latin-1 above 0x9F.
    EXPECT_EQ(L"\x201C" L"a\x201D\x2013\x20AC\x00E9", pdf::SimpleFontText("\x93" "a\x94\x96\x80\xE9", text));
    // The dingbats' check mark, cross and filled circle at their Wingdings places.
    EXPECT_EQ(L"\x00FC\x00FB\x006C", pdf::SimpleFontText("48l", pdf::NearestSystemFont("ZapfDingbats", 0)));
    EXPECT_EQ(L"\x0061\x0062", pdf::SimpleFontText("ab", pdf::NearestSystemFont("Symbol", 0)));
}
