// The field controls of a loaded form on real windows: those over the part of the page in view are
// there as soon as the form is loaded, the rest come while messages are handled, in field order
// (the tab order) whatever order they are made in; asking for one by name or tabbing makes them all;
// a control made later has the place, font, value and background a control made at once would have.
#include "ViewerWindowTest.h"
#include "viewer/FormWindow.h"
#include "NoFormHost.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

namespace {

class FormControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent = CreateWindowExW(0, L"STATIC", L"form parent", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        RECT rc = {0, 0, 800, 600};
        ASSERT_TRUE(form.Create(parent, rc));
        ASSERT_TRUE(form.Load(SamplePath(L"cms1500.pdf"))) << form.Error();
    }
    void TearDown() override
    {
        if (parent) DestroyWindow(parent);
        PumpPending();
    }

    std::vector<HWND> Children() const
    {
        std::vector<HWND> out;
        for (HWND child = GetWindow(form.Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) out.push_back(child);
        return out;
    }
    // The widgets that get a control, in field order (signature fields get none).
    std::vector<std::pair<size_t, size_t>> Widgets()
    {
        std::vector<std::pair<size_t, size_t>> out;
        const pdf::FormDocument& doc = form.Script().Form();
        for (size_t f = 0; f < doc.fields.size(); ++f)
            if (doc.fields[f].type != pdf::FieldType::Signature)
                for (size_t w = 0; w < doc.fields[f].widgets.size(); ++w)
                    if (!doc.fields[f].widgets[w].hidden) out.push_back({f, w}); // hidden ones get no control
        return out;
    }
    // Handles messages one at a time until the form has that many controls; a watchdog on the
    // number of messages, not on time.
    bool PumpUntilControls(size_t count)
    {
        for (int i = 0; i < 100000 && Children().size() < count; ++i) {
            MSG msg;
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return Children().size() >= count;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return Children().size() >= count;
    }

    // The text widget lowest on the page (out of view at first), as an index into Widgets().
    size_t LowestTextWidget()
    {
        const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
        const pdf::FormDocument& doc = form.Script().Form();
        size_t lowest = widgets.size();
        for (size_t i = 0; i < widgets.size(); ++i)
            if (doc.fields[widgets[i].first].type == pdf::FieldType::Text &&
                (lowest == widgets.size() || doc.fields[widgets[i].first].widgets[widgets[i].second].rect[1] <
                                                 doc.fields[widgets[lowest].first].widgets[widgets[lowest].second].rect[1]))
                lowest = i;
        return lowest;
    }
    // Window pixels per page point: the 612-point page fills the client width less 8-pixel margins.
    double Scale() const
    {
        RECT rc;
        GetClientRect(form.Hwnd(), &rc);
        return (rc.right - 16) / 612.0;
    }
    static int FontHeight(HWND control)
    {
        LOGFONTW font = {};
        HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
        return std::abs(font.lfHeight);
    }

    HWND parent = nullptr;
    NoFormHost host;
    viewer::FormWindow form{host};
};

bool InClient(HWND window, HWND child)
{
    RECT client, rc, both;
    GetClientRect(window, &client);
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
    return IntersectRect(&both, &client, &rc) != 0;
}

} // namespace

TEST_F(FormControlsTest, ControlsInViewComeFirstAndTheRestWhileMessagesAreHandled)
{
    const size_t total = Widgets().size();
    ASSERT_GT(total, 200u) << "the sample claim form has a control for each of its fields";
    std::vector<HWND> first = Children();
    ASSERT_FALSE(first.empty());
    EXPECT_LT(first.size(), total);
    for (HWND child : first) {
        EXPECT_TRUE(InClient(form.Hwnd(), child));
        EXPECT_TRUE(IsWindowVisible(child));
    }

    ASSERT_TRUE(PumpUntilControls(total));
    std::vector<HWND> all = Children();
    EXPECT_EQ(total, all.size());
    size_t outside = 0;
    for (HWND child : all) outside += !InClient(form.Hwnd(), child);
    EXPECT_EQ(total - first.size(), outside) << "every control made later lies outside the view";
}

TEST_F(FormControlsTest, TabOrderIsTheFieldOrder)
{
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    ASSERT_TRUE(PumpUntilControls(widgets.size()));
    std::vector<HWND> all = Children();
    ASSERT_EQ(widgets.size(), all.size());
    for (size_t i = 0; i < widgets.size(); ++i)
        ASSERT_EQ(form.ControlOf(widgets[i].first, widgets[i].second), all[i]) << "control " << i;
}

TEST_F(FormControlsTest, AskingForAControlByNameMakesThemAll)
{
    // The widget lowest on the page, out of view at first.
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    const pdf::FormDocument& doc = form.Script().Form();
    std::pair<size_t, size_t> lowest = widgets.front();
    for (const auto& w : widgets)
        if (doc.fields[w.first].widgets[w.second].rect[1] < doc.fields[lowest.first].widgets[lowest.second].rect[1]) lowest = w;
    ASSERT_LT(Children().size(), widgets.size());
    HWND control = form.ControlOf(lowest.first, lowest.second);
    EXPECT_NE(nullptr, control);
    EXPECT_FALSE(InClient(form.Hwnd(), control));
    EXPECT_EQ(widgets.size(), Children().size());
}

TEST_F(FormControlsTest, ValuesReachControlsMadeLater)
{
    // A value set before the control of its field exists shows in that control once it is made.
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    const pdf::FormDocument& doc = form.Script().Form();
    size_t target = widgets.size();
    for (size_t i = 0; i < widgets.size(); ++i)
        if (doc.fields[widgets[i].first].type == pdf::FieldType::Text &&
            (target == widgets.size() ||
             doc.fields[widgets[i].first].widgets[widgets[i].second].rect[1] <
                 doc.fields[widgets[target].first].widgets[widgets[target].second].rect[1]))
            target = i;
    ASSERT_LT(target, widgets.size());
    const size_t before = Children().size();
    form.Script().SetValue(widgets[target].first, L"made later");
    form.FieldsChanged();
    ASSERT_LT(before, widgets.size());
    ASSERT_TRUE(PumpUntilControls(widgets.size()));
    HWND edit = form.ControlOf(widgets[target].first, widgets[target].second);
    EXPECT_FALSE(InClient(form.Hwnd(), edit)) << "the lowest text field is out of view";
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(L"made later", text);
}

TEST_F(FormControlsTest, TabbingToAFieldNotMadeYetReachesIt)
{
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    std::vector<HWND> first = Children();
    ASSERT_FALSE(first.empty());
    ASSERT_LT(first.size(), widgets.size());
    // A twin window of the same size makes the same controls at first; asking it by name tells which
    // fields they are: a field made at first followed by one that was not.
    viewer::FormWindow twin{host};
    RECT rc = {0, 0, 800, 600};
    ASSERT_TRUE(twin.Create(parent, rc));
    ASSERT_TRUE(twin.Load(SamplePath(L"cms1500.pdf"))) << twin.Error();
    std::vector<HWND> twinFirst;
    for (HWND child = GetWindow(twin.Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) twinFirst.push_back(child);
    ASSERT_EQ(first.size(), twinFirst.size());
    std::vector<bool> madeAtFirst;
    for (const auto& w : widgets) {
        HWND control = twin.ControlOf(w.first, w.second);
        madeAtFirst.push_back(std::find(twinFirst.begin(), twinFirst.end(), control) != twinFirst.end());
    }
    size_t at = 0, madeBefore = 0;
    while (at + 1 < widgets.size() && !(madeAtFirst[at] && !madeAtFirst[at + 1])) madeBefore += madeAtFirst[at++];
    ASSERT_LT(at + 1, widgets.size());
    // The children are in tab order, so the one made at first for that field is at its place among them.
    HWND from = first[madeBefore];
    ASSERT_TRUE(form.FocusNextField(from, false));
    EXPECT_EQ(widgets.size(), Children().size()) << "tabbing makes every control";
    EXPECT_EQ(from, form.ControlOf(widgets[at].first, widgets[at].second));
    HWND next = form.ControlOf(widgets[at + 1].first, widgets[at + 1].second);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(next, GetFocus());
    EXPECT_TRUE(InClient(form.Hwnd(), next)) << "the focused field is scrolled into view";
}

TEST_F(FormControlsTest, ScrollingBeforeAllAreMadeMakesTheControlsNowInView)
{
    const size_t total = Widgets().size();
    ASSERT_LT(Children().size(), total);
    SendMessageW(form.Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    size_t inView = 0;
    for (HWND child : Children()) inView += InClient(form.Hwnd(), child);
    EXPECT_GT(inView, 0u);
    ASSERT_TRUE(PumpUntilControls(total));
    size_t inViewAtEnd = 0;
    for (HWND child : Children()) inViewAtEnd += InClient(form.Hwnd(), child);
    EXPECT_EQ(inView, inViewAtEnd) << "no control in view was left for later";
}

TEST_F(FormControlsTest, ControlsMadeAfterAZoomTakeItsFont)
{
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    const size_t lowest = LowestTextWidget();
    ASSERT_LT(lowest, widgets.size());
    form.Zoom(1);
    ASSERT_DOUBLE_EQ(1.25, form.ZoomFactor());
    ASSERT_LT(Children().size(), widgets.size());
    ASSERT_TRUE(PumpUntilControls(widgets.size()));
    HWND edit = form.ControlOf(widgets[lowest].first, widgets[lowest].second);
    ASSERT_NE(nullptr, edit);
    // The claim form's text fields name 7 points.
    EXPECT_EQ(std::lround(7 * Scale() * 1.25), FontHeight(edit));
    // A later zoom reaches it as it reaches the controls made at once.
    form.Zoom(-1);
    ASSERT_DOUBLE_EQ(1.0, form.ZoomFactor());
    EXPECT_EQ(std::lround(7 * Scale()), FontHeight(edit));
}

TEST_F(FormControlsTest, ControlsMadeLaterPaintTheFieldBackground)
{
    const std::vector<std::pair<size_t, size_t>> widgets = Widgets();
    const size_t lowest = LowestTextWidget();
    ASSERT_LT(lowest, widgets.size());
    ASSERT_TRUE(PumpUntilControls(widgets.size()));
    HWND edit = form.ControlOf(widgets[lowest].first, widgets[lowest].second);
    ASSERT_NE(nullptr, edit);
    // The claim form's fields name no colours and no border: the light field tint.
    HDC dc = GetDC(edit);
    ASSERT_NE(nullptr, dc);
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(form.Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(edit)));
    COLORREF background = GetBkColor(dc);
    ReleaseDC(edit, dc);
    LOGBRUSH look = {};
    ASSERT_NE(nullptr, brush);
    ASSERT_NE(0, GetObjectW(brush, sizeof look, &look));
    EXPECT_EQ(RGB(214, 224, 255), look.lbColor);
    EXPECT_EQ(RGB(214, 224, 255), background);
}

TEST_F(FormControlsTest, LoadingAnotherFormWhileControlsAreMadeLeavesOnlyItsControls)
{
    ASSERT_LT(Children().size(), Widgets().size());
    ASSERT_TRUE(form.Load(SamplePath(L"statement.pdf"))) << form.Error();
    PumpPending();
    // The patient statement shows 63 text widgets (the amount due in two places) and 5 buttons; its 7
    // letterhead fields are hidden.
    EXPECT_EQ(68u, Children().size());
    EXPECT_EQ(68u, Widgets().size());
}
