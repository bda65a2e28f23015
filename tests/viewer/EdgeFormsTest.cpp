// Hand-made forms as careless or unusual writers leave them (tools/forms/edge_forms.py): each reads
// as the fields pypdf reads and its page draws as pdftoppm draws the part shown.
#include "FormFacts.h"
#include "ReferencePage.h"
#include "viewer/PageRenderer.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

std::wstring EdgeFormPath(const std::wstring& name, const wchar_t* suffix)
{
    return std::wstring(FORMSTEAD_EDGE_FORMS_DIR) + name + suffix;
}

class EdgeForms : public ::testing::TestWithParam<const wchar_t*>
{
};

} // namespace

TEST_P(EdgeForms, ReadAsPypdfReadsThem)
{
    FormFacts facts = ReadFormFacts(EdgeFormPath(GetParam(), L"-facts.txt"));
    ASSERT_FALSE(facts.pageRotations.empty()) << "missing facts of the test form";
    pdf::FormDocument doc = ReadTestForm(EdgeFormPath(GetParam(), L".pdf"));
    ExpectReadAsFacts(doc, facts);
}

TEST_P(EdgeForms, DrawnAsPdftoppmDrawsThePartShown)
{
    pdf::FormDocument doc = ReadTestForm(EdgeFormPath(GetParam(), L".pdf"));
    ASSERT_FALSE(doc.pages.empty());
    ExpectDrawnAsReference(doc, EdgeFormPath(GetParam(), L"-page.pgm"), EdgeFormPath(GetParam(), L"-words.html"));
}

INSTANTIATE_TEST_SUITE_P(Forms, EdgeForms,
                         ::testing::Values(L"offsets", L"startxref", L"tail", L"objstm-startxref", L"aes-objstm-startxref",
                                           L"names", L"cropbox",
                                           L"cropbox-turn", L"corners", L"scaled-lines"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param; *c; ++c)
                                 if (iswalnum(*c)) name += static_cast<char>(*c);
                             return name;
                         });

TEST(EdgeForms, LinesOfAScaledMatrixKeepTheirWidth)
{
    // Under each label a line drawn at a tenth of the scale, 10 units (1 point) wide, from the
    // label's x for 180 points, 6 points below its baseline: about as much ink as pdftoppm draws.
    const double labels[][2] = {{72, 720}, {72, 680}, {72, 640}, {72, 600}, {72, 560}, {72, 520},
                                {300, 720}, {300, 680}, {300, 640}, {300, 600}, {300, 560}};
    pdf::FormDocument doc = ReadTestForm(EdgeFormPath(L"scaled-lines", L".pdf"));
    ASSERT_FALSE(doc.pages.empty());
    GreyPage reference = ReadPgm(EdgeFormPath(L"scaled-lines", L"-page.pgm"));
    ASSERT_GT(reference.width, 0);
    GreyPage own = DrawOwnPage(doc, reference.width, reference.height);
    for (const auto& label : labels) {
        // The band from 9 to 3.5 points below the baseline: the line, no descender.
        int left = static_cast<int>(label[0] * kReferenceScale), right = static_cast<int>((label[0] + 180) * kReferenceScale);
        int top = static_cast<int>((792 - (label[1] - 3.5)) * kReferenceScale), bottom = static_cast<int>((792 - (label[1] - 9)) * kReferenceScale);
        int theirs = reference.DarkIn(left, top, right, bottom), ours = own.DarkIn(left, top, right, bottom);
        ASSERT_GT(theirs, 0) << label[1];
        EXPECT_GE(ours * 2, theirs) << label[0] << " " << label[1];
        EXPECT_LE(ours, theirs * 2) << label[0] << " " << label[1];
    }
}

TEST(EdgeForms, NothingIsDrawnOutsideTheCropBox)
{
    // The page's text in the media box's margins, outside the crop box, stays off the device
    // around the page as it stays off pdftoppm's page.
    for (const wchar_t* name : {L"cropbox", L"cropbox-turn"}) {
        pdf::FormDocument doc = ReadTestForm(EdgeFormPath(name, L".pdf"));
        ASSERT_FALSE(doc.pages.empty());
        const pdf::PageInfo& page = doc.pages[0];
        const int margin = 200;
        int width = static_cast<int>(std::lround(page.ShownWidth() * kReferenceScale)) + 2 * margin;
        int height = static_cast<int>(std::lround(page.ShownHeight() * kReferenceScale)) + 2 * margin;
        PageCanvas canvas(width, height);
        viewer::PagePlacement place = viewer::PlacePage(page, kReferenceScale, margin, margin);
        viewer::DrawFormPage(canvas.Dc(), doc, 0, place, false);
        std::vector<unsigned char> grey = canvas.Grey();
        int inside = DarkIn(grey, width, {margin, margin, width - margin, height - margin});
        int all = DarkIn(grey, width, {0, 0, width, height});
        EXPECT_GT(inside, 0) << "the page's labels are drawn";
        EXPECT_EQ(inside, all) << "dark pixels outside the page as shown";
    }
}
