// Pages whose content is built to wear the viewer down: drawn as far as their budgets allow, every
// cut named in the trace, and the device left as it was. Drawn into bitmaps with the real GDI.
#include "PageCanvas.h"
#include "PdfTestFiles.h"
#include "RepeatedText.h"
#include "framework/Seams.h"
#include "tests/support/WindowPixels.h"
#include "viewer/DrawingBudget.h"
#include "viewer/PageRenderer.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>
#include <new>
#include <regex>

namespace {

const int kSide = 300; // pages of 300 x 300 points drawn one pixel a point

std::string FormStream(const std::string& resources, const std::string& content)
{
    return "<< /Type /XObject /Subtype /Form /BBox [0 0 300 300] " + resources + " /Length " +
           std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream";
}

// A one-page file titled "Crafted" whose page names form Xn as object n + 10 (forms[n - 1]); a
// form's content may draw "Xm" when it names m in nested (a form's own resources name the form
// numbered one more than its own).
struct CraftedFile
{
    std::string page;
    std::vector<std::string> forms;
    bool nested = false; // each form names the next one as "Next"

    pdf::FormDocument Read() const
    {
        std::string xobjects;
        for (size_t n = 1; n <= forms.size(); ++n)
            xobjects += " /X" + std::to_string(n) + " " + std::to_string(n + 10) + " 0 R";
        std::vector<TestPdfObject> objects = {
            {1, "<< /Type /Catalog /Pages 2 0 R >>"},
            {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
            {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R /Resources << /XObject <<" +
                    xobjects + " >> >> >>"},
            {4, "<< /Length " + std::to_string(page.size()) + " >>\nstream\n" + page + "\nendstream"},
            {5, "<< /Title (Crafted) >>"}};
        for (size_t n = 1; n <= forms.size(); ++n) {
            std::string resources = nested && n < forms.size()
                                        ? "/Resources << /XObject << /Next " + std::to_string(n + 11) + " 0 R >> >>"
                                        : "";
            objects.push_back({static_cast<int>(n + 10), FormStream(resources, forms[n - 1])});
        }
        pdf::FormDocument doc;
        std::string error;
        EXPECT_TRUE(pdf::ReadPdfForm(MakeClassicPdf(objects, 1, "/Info 5 0 R"), doc, error)) << error;
        return doc;
    }
};

class DrawingLimits : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxSetTraceSink([this](const wchar_t* line) { trace.push_back(line); });
    }
    void TearDown() override
    {
        AfxSetTraceSink(nullptr);
        viewer::DrawingProbesForTest() = viewer::DrawingProbes();
    }

    viewer::PagePlacement Place() const
    {
        viewer::PagePlacement place;
        place.pageHeight = kSide;
        return place;
    }
    void DrawContent(const std::string& content)
    {
        pdf::PageFonts fonts;
        fonts["F1"] = pdf::NearestSystemFont("Helvetica", 0);
        viewer::DrawPageContent(canvas.Dc(), content, fonts, Place(), false);
        grey = canvas.Grey();
    }
    void DrawPage(const pdf::FormDocument& doc)
    {
        viewer::DrawFormPage(canvas.Dc(), doc, 0, Place(), false);
        grey = canvas.Grey();
    }
    // Dark pixels of the square of that side whose lower left corner is at page point (x, y).
    int DarkSquare(int x, int y, int side) const { return DarkIn(grey, kSide, {x, kSide - y - side, x + side, kSide - y}); }
    int DarkAll() const { return DarkIn(grey, kSide, {0, 0, kSide, kSide}); }
    // The trace lines that match the pattern.
    std::vector<std::wsmatch> Lines(const std::wregex& pattern)
    {
        std::vector<std::wsmatch> found;
        for (const std::wstring& line : trace) {
            std::wsmatch match;
            if (std::regex_match(line, match, pattern)) found.push_back(match);
        }
        return found;
    }

    PageCanvas canvas{kSide, kSide};
    std::vector<unsigned char> grey;
    std::vector<std::wstring> trace;
};

} // namespace

// No count of tokens cuts a page: a fill after 1,050,000 path operators is drawn, and nothing is traced.
TEST_F(DrawingLimits, AFillAfterMoreThanAMillionPathOperatorsIsDrawn)
{
    DrawContent(Repeated("0 0 m 1 1 l n ", 350000) + "0 g 100 100 50 50 re f");
    EXPECT_EQ(50 * 50, DarkSquare(100, 100, 50));
    EXPECT_EQ(50 * 50, DarkAll());
    EXPECT_TRUE(trace.empty()) << trace.front();
}

// A form of 100,000 operators drawn 60 times: the page stops where its budget ends, shows what came
// before, and says so once.
TEST_F(DrawingLimits, APageCutByItsBudgetShowsItsFirstPartAndSaysSo)
{
    CraftedFile file;
    file.page = "0 g 10 10 50 50 re f " + Repeated("/X1 Do ", 60) + "0 g 200 200 50 50 re f";
    file.forms = {Repeated("n ", 100000)};
    DrawPage(file.Read());
    EXPECT_EQ(50 * 50, DarkSquare(10, 10, 50));
    EXPECT_EQ(0, DarkSquare(200, 200, 50));
    auto cut = Lines(std::wregex(L"Page 1 of Crafted: drawing stopped after (\\d+) operators \\(the page's drawing budget\\)"));
    ASSERT_EQ(1u, cut.size());
    EXPECT_GT(std::stol(cut[0][1]), 1000000); // more than a million operators did run
    EXPECT_LT(std::stol(cut[0][1]), 6000000);
    EXPECT_EQ(1u, trace.size());
}

// Two nested forms that each save 150,000 graphics states: the saves past the page's budget are
// refused (traced once), and each level's drawing after them still happens; the outer form's
// restores bring back the black it saved before its white.
TEST_F(DrawingLimits, ManySavedStatesInNestedFormsStayWithinTheBudget)
{
    CraftedFile file;
    file.nested = true;
    file.page = "/X1 Do 0 g 10 10 40 40 re f";
    file.forms = {Repeated("q ", 150000) + "1 g /Next Do " + Repeated("Q ", 150000) + "100 100 40 40 re f",
                  Repeated("q ", 150000) + "0 g 200 200 40 40 re f"};
    DrawPage(file.Read());
    EXPECT_EQ(40 * 40, DarkSquare(10, 10, 40));
    EXPECT_EQ(40 * 40, DarkSquare(100, 100, 40));
    EXPECT_EQ(40 * 40, DarkSquare(200, 200, 40));
    EXPECT_EQ(3 * 40 * 40, DarkAll());
    EXPECT_EQ(1u, Lines(std::wregex(L"Page 1 of Crafted: operands and saved graphics states past \\d+ refused .*")).size());
    EXPECT_EQ(1u, trace.size());
}

// A thousand operands before one operator: the operator takes the last ones, the rest are dropped
// with one line.
TEST_F(DrawingLimits, OperandsPastAFewDozenAreDroppedAndTheOperatorTakesTheLast)
{
    DrawContent("0 g " + Repeated("9 ", 1000) + "100 100 50 50 re f " + Repeated("7 ", 1000) + "200 200 20 20 re f");
    EXPECT_EQ(50 * 50, DarkSquare(100, 100, 50));
    EXPECT_EQ(20 * 20, DarkSquare(200, 200, 20));
    EXPECT_EQ(50 * 50 + 20 * 20, DarkAll());
    EXPECT_EQ(1u, Lines(std::wregex(L"Page content: operands past \\d+ before one operator dropped")).size());
    EXPECT_EQ(1u, trace.size());
}

// Forms nested 140 deep: a hundred levels draw; the ones past the limit are left out with a line.
TEST_F(DrawingLimits, FormsNestedAHundredDeepDrawAndDeeperOnesAreTraced)
{
    CraftedFile file;
    file.nested = true;
    file.page = "/X1 Do";
    for (int level = 1; level <= 140; ++level)
        file.forms.push_back(level == 100 ? "0 g 10 10 40 40 re f /Next Do"
                                          : level == 140 ? "0 g 200 200 40 40 re f" : "/Next Do");
    DrawPage(file.Read());
    EXPECT_EQ(40 * 40, DarkSquare(10, 10, 40));
    EXPECT_EQ(40 * 40, DarkAll());
    EXPECT_EQ(1u, Lines(std::wregex(L"Forms nested deeper than \\d+ levels are left out of the pages")).size());
}

// An "H" asked for 9,000 pixels tall: no font taller than 2,048 pixels is made, and the part of the
// letter on the page is drawn as the letter is: its bar (about mid cap height, between the stems)
// fills the page, the space above the bar stays white.
TEST_F(DrawingLimits, HugeTextIsDrawnAsItsShapeWithoutAHugeFont)
{
    int tallest = 0;
    viewer::DrawingProbesForTest().fontMade = [&](int height) { tallest = std::max(tallest, height); };
    // The letter's middle (0.36 em across, 0.36 em up) on the page's middle.
    DrawContent("0 g BT /F1 9000 Tf 1 0 0 1 -3100 -3180 Tm (H) Tj ET");
    EXPECT_GT(tallest, 0);
    EXPECT_LE(tallest, 2048);
    EXPECT_GE(DarkAll(), kSide * kSide * 95 / 100);

    RECT page = {0, 0, kSide, kSide};
    FillRect(canvas.Dc(), &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawContent("0 g BT /F1 9000 Tf 1 0 0 1 -3100 -5000 Tm (H) Tj ET"); // 0.56 to 0.59 em up: above the bar
    EXPECT_EQ(0, DarkAll());
    EXPECT_LE(tallest, 2048);
    EXPECT_TRUE(trace.empty());
}

// A letter 2,900 pixels tall drawn from outlines is the letter drawn at 290 pixels, ten times as
// large: the same box and ten squared times the ink, within a percent or two.
TEST_F(DrawingLimits, HugeTextHasTheShapeOfTheSameTextDrawnSmaller)
{
    auto inkOf = [](int side, double size) {
        PageCanvas page(side, side);
        viewer::PagePlacement place;
        place.pageHeight = side;
        pdf::PageFonts fonts;
        fonts["F1"] = pdf::NearestSystemFont("Helvetica", 0);
        viewer::DrawPageContent(page.Dc(), "0 g BT /F1 " + std::to_string(size) + " Tf 0 " + std::to_string(side / 20) +
                                               " Td (H) Tj ET", fonts, place, false);
        std::vector<unsigned char> g = page.Grey();
        Ink ink;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (g[y * side + x] < 128) ink.Add(x, y);
        return ink;
    };
    Ink small = inkOf(220, 290), huge = inkOf(2200, 2900);
    ASSERT_GT(small.count, 1000);
    EXPECT_NEAR(small.left * 10, huge.left, 15);
    EXPECT_NEAR(small.right * 10, huge.right, 15);
    EXPECT_NEAR(small.top * 10, huge.top, 15);
    EXPECT_NEAR(small.bottom * 10, huge.bottom, 15);
    EXPECT_NEAR(small.count * 100.0, huge.count, small.count * 100.0 * 0.03);
}

// Text in forty sizes, then in the first again: the fonts of the last few sizes are kept, the first
// is made anew (the cache keeps a few, not every size a page asks for).
TEST_F(DrawingLimits, TheFontsOfPageTextAreKeptForTheLastFewSizesOnly)
{
    std::vector<int> made;
    viewer::DrawingProbesForTest().fontMade = [&](int height) { made.push_back(height); };
    std::string content = "0 g BT 10 10 Td ";
    for (int size = 10; size < 50; ++size) content += "/F1 " + std::to_string(size) + " Tf (A) Tj ";
    DrawContent(content + "/F1 49 Tf (A) Tj /F1 48 Tf (A) Tj /F1 10 Tf (A) Tj ET");
    ASSERT_EQ(41u, made.size());
    for (int i = 0; i < 40; ++i) EXPECT_EQ(10 + i, made[i]);
    EXPECT_EQ(10, made[40]);
}

// Drawing that fails inside a nested form (an allocation refused at its second fill): the page
// keeps what was drawn, the device has its clip, font, brush and pen as before, and it draws on.
TEST_F(DrawingLimits, AFailureInsideDrawingLeavesTheDeviceUsableAndSaysSo)
{
    viewer::DrawingProbesForTest().beforeOperator = [](size_t run) {
        if (run == 7) throw std::bad_alloc();
    };
    CraftedFile file;
    file.page = "0 g 10 10 50 50 re f /X1 Do 0 g 200 200 50 50 re f";
    file.forms = {"0 g 100 100 20 20 re f 0 g 150 150 20 20 re f"};
    pdf::FormDocument doc = file.Read();

    HDC dc = canvas.Dc();
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), brush = GetCurrentObject(dc, OBJ_BRUSH), pen = GetCurrentObject(dc, OBJ_PEN);
    DrawPage(doc);
    EXPECT_EQ(50 * 50, DarkSquare(10, 10, 50));
    EXPECT_EQ(20 * 20, DarkSquare(100, 100, 20));
    EXPECT_EQ(50 * 50 + 20 * 20, DarkAll());
    ASSERT_EQ(1u, trace.size());
    EXPECT_EQ(L"Page 1 of Crafted: drawing stopped after 7 operators by an error (std::bad_alloc)", trace[0]);

    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(dc, clip)); // no clip left behind
    DeleteObject(clip);
    EXPECT_EQ(font, GetCurrentObject(dc, OBJ_FONT));
    EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
    // The device draws on: a plain rectangle, and the page again without the failure.
    RECT box = {260, 10, 290, 40};
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    viewer::DrawingProbesForTest() = viewer::DrawingProbes();
    DrawPage(doc);
    EXPECT_EQ(30 * 30, DarkIn(grey, kSide, {260, 10, 290, 40}));
    EXPECT_EQ(20 * 20, DarkSquare(150, 150, 20));
    EXPECT_EQ(50 * 50, DarkSquare(200, 200, 50));
}
