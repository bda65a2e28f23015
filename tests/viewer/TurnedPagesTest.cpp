// Pages turned by /Rotate (pdflscape's landscape page, copies turned by qpdf, a turn inherited from
// the page tree) as a reader shows them: the page drawn where pdftoppm draws it, and each field's
// control on the box pdftoppm draws for its widget. Every choice of a hyperref radio group has a
// control on the window, and clicking each picks it in the form's reply.
#include "FormFacts.h"
#include "PageCanvas.h"
#include "ViewerWindowTest.h"
#include "viewer/FormWindow.h"
#include "viewer/PageRenderer.h"
#include "viewer/ViewerTestControl.h"
#include "NoFormHost.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

const double kReferenceScale = 1.5; // the 108 dots per inch pdftoppm renders the pages at

class TurnedPages : public ::testing::TestWithParam<const wchar_t*>
{
protected:
    void SetUp() override
    {
        parent = CreateWindowExW(0, L"STATIC", L"form parent", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 740, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        RECT rc = {0, 0, 1000, 740};
        ASSERT_TRUE(form.Create(parent, rc));
        ASSERT_TRUE(form.Load(LatexFormPath(GetParam(), L".pdf"))) << form.Error();
        reference = ReadPgm(LatexFormPath(GetParam(), L"-page.pgm"));
        ASSERT_GT(reference.width, 0) << "missing pdftoppm's page";
    }
    void TearDown() override
    {
        if (parent) DestroyWindow(parent);
        PumpPending();
    }

    HWND parent = nullptr;
    NoFormHost host;
    viewer::FormWindow form{host};
    GreyPage reference;
};

// Whether the reference has a line along most of the box's edges, within a few pixels of them.
::testing::AssertionResult OutlinedAt(const GreyPage& page, const PixelBox& box)
{
    const int reach = 4, inset = 3;
    const int across = box.right - box.left - 2 * inset, down = box.bottom - box.top - 2 * inset;
    const int edges[4] = {page.DarkIn(box.left + inset, box.top - reach, box.right - inset, box.top + reach),
                          page.DarkIn(box.left + inset, box.bottom - reach, box.right - inset, box.bottom + reach),
                          page.DarkIn(box.left - reach, box.top + inset, box.left + reach, box.bottom - inset),
                          page.DarkIn(box.right - reach, box.top + inset, box.right + reach, box.bottom - inset)};
    const int needed[4] = {across * 8 / 10, across * 8 / 10, down * 8 / 10, down * 8 / 10};
    for (int i = 0; i < 4; ++i)
        if (edges[i] < needed[i])
            return ::testing::AssertionFailure() << "edge " << i << " has " << edges[i] << " dark pixels, " << needed[i]
                                                 << " needed; box " << box.left << "," << box.top << " " << box.right
                                                 << "," << box.bottom;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_P(TurnedPages, EachFieldsControlLiesOnTheBoxPdftoppmDraws)
{
    const pdf::FormDocument& doc = form.Script().Form();
    ASSERT_EQ(1u, doc.pages.size());
    ASSERT_NE(0, doc.pages[0].rotation);
    // The page as shown: pdftoppm's picture is as wide as the turned page.
    ASSERT_EQ(static_cast<int>(std::lround(doc.pages[0].ShownWidth() * kReferenceScale)), reference.width);
    PaperOnScreen paper;
    ASSERT_TRUE(FindPaper(form.Hwnd(), paper));
    const double screenScale = paper.Scale(reference.width / kReferenceScale);
    auto toReference = [&](int x, int y) {
        return POINT{static_cast<LONG>(std::lround((x - paper.left) / screenScale * kReferenceScale)),
                     static_cast<LONG>(std::lround((y - paper.top) / screenScale * kReferenceScale))};
    };
    size_t checked = 0;
    for (size_t f = 0; f < doc.fields.size(); ++f) {
        for (size_t w = 0; w < doc.fields[f].widgets.size(); ++w) {
            HWND control = form.ControlOf(f, w);
            ASSERT_NE(nullptr, control) << doc.fields[f].name.c_str() << " " << w;
            RECT rc;
            GetWindowRect(control, &rc);
            MapWindowPoints(nullptr, form.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
            // The control fills its widget inside the border the widget's outline is drawn with.
            InflateRect(&rc, 1, 1);
            POINT a = toReference(rc.left, rc.top), b = toReference(rc.right, rc.bottom);
            EXPECT_TRUE(OutlinedAt(reference, {a.x, a.y, b.x, b.y})) << doc.fields[f].name.c_str() << " " << w;
            ++checked;
        }
    }
    EXPECT_GE(checked, 6u);
}

TEST_P(TurnedPages, ThePageIsDrawnWherePdftoppmDrawsIt)
{
    // Both pictures cut into squares: where pdftoppm puts ink (text, lines), the page drawn turned
    // has ink in the same square, and the other way round; a page drawn upright or turned the wrong
    // way puts its ink elsewhere.
    const pdf::FormDocument& doc = form.Script().Form();
    PageCanvas canvas(reference.width, reference.height);
    viewer::PagePlacement place = viewer::PlacePage(doc.pages[0], kReferenceScale, 0, 0);
    viewer::DrawFormPage(canvas.Dc(), doc, 0, place, false);
    viewer::DrawWidgetFrames(canvas.Dc(), form.Script(), 0, place, false);
    GreyPage own;
    own.width = reference.width;
    own.height = reference.height;
    own.pixels = canvas.Grey();
    const int cell = 24;
    int inked = 0, matched = 0, stray = 0;
    for (int top = 0; top < reference.height; top += cell) {
        for (int left = 0; left < reference.width; left += cell) {
            int theirs = reference.DarkIn(left, top, left + cell, top + cell);
            int ours = own.DarkIn(left, top, left + cell, top + cell);
            if (theirs >= 20) {
                ++inked;
                matched += ours >= theirs / 4;
            } else if (theirs == 0 && ours >= 20) {
                ++stray;
            }
        }
    }
    ASSERT_GE(inked, 20);
    EXPECT_GE(matched * 10, inked * 9) << matched << " of " << inked << " inked squares";
    EXPECT_LE(stray * 10, inked) << stray << " squares inked only here";
}

INSTANTIATE_TEST_SUITE_P(Turns, TurnedPages,
                         ::testing::Values(L"landscape", L"portrait-rotate180", L"portrait-rotate270", L"portrait-treerotate90"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param; *c; ++c)
                                 if (iswalnum(*c)) name += static_cast<char>(*c);
                             return name;
                         });

TEST(HyperrefRadioGroup, EveryChoiceHasAControlAndClickingItPicksIt)
{
    viewer::TestControl().Reset();
    TestBrowserWindow w;
    ASSERT_TRUE(LoadIntoContainer(w, LatexFormPath(L"portrait", L".pdf")));
    viewer::FormWindow* form = w.Core().Form();
    ASSERT_NE(nullptr, form);
    const pdf::FormDocument& doc = form->Script().Form();
    size_t visit = 0;
    while (visit < doc.fields.size() && doc.fields[visit].name != L"visit") ++visit;
    ASSERT_LT(visit, doc.fields.size());
    // The choices' on-states as pypdf reads them from each widget's appearances.
    std::vector<FactWidget> choices = ReadFormFacts(LatexFormPath(L"portrait", L"-facts.txt")).WidgetsOf(L"visit");
    ASSERT_EQ(3u, choices.size());
    std::vector<HWND> buttons;
    for (size_t c = 0; c < choices.size(); ++c) {
        HWND button = form->ControlOf(visit, c);
        ASSERT_NE(nullptr, button) << c;
        EXPECT_TRUE(IsWindowVisible(button)) << c;
        buttons.push_back(button);
    }
    for (size_t c = 0; c < buttons.size(); ++c) {
        SendMessageW(buttons[c], BM_CLICK, 0, 0);
        PumpPending();
        for (size_t other = 0; other < buttons.size(); ++other)
            EXPECT_EQ(other == c ? BST_CHECKED : BST_UNCHECKED, SendMessageW(buttons[other], BM_GETCHECK, 0, 0)) << c;
        w.Send(L"Save");
        PumpPending();
        std::wstring reply = w.Input(L"MsgRsp1");
        std::wstring expected = L"visit=" + std::wstring(choices[c].onState.begin(), choices[c].onState.end());
        EXPECT_NE(std::wstring::npos, (reply + L"|").find(expected + L"|")) << c;
    }
    viewer::TestControl().Reset();
}
