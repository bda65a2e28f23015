// The field controls of a loaded form on real windows: those over the part of the page in view are
// there as soon as the form is loaded, the rest come while messages are handled, in field order
// (the tab order) whatever order they are made in; asking for one by name makes them all.
#include "ViewerWindowTest.h"
#include "viewer/FormWindow.h"
#include <gtest/gtest.h>

namespace {

class NoHost : public viewer::FormWindowHost
{
public:
    void NavigateFromPage(const std::wstring&) override {}
    bool OpenAddress(const std::wstring&) override { return false; }
    void ShowMessage(const std::wstring&) override {}
    HDC ChoosePrinter(bool& ownsDc) override
    {
        ownsDc = false;
        return nullptr;
    }
};

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
                for (size_t w = 0; w < doc.fields[f].widgets.size(); ++w) out.push_back({f, w});
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

    HWND parent = nullptr;
    NoHost host;
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
