// Fields of a form whose page draws no boxes, on real windows: each widget shows its background and
// border colours or a light tint, text takes the size its appearance names, and clicks and choices
// report the export values.
#include "PdfTestFiles.h"
#include "ViewerWindowTest.h"
#include "tests/support/TempFolder.h"
#include "viewer/PageRenderer.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <cmath>

using viewer::TestControl;

namespace {

// Field indexes in the order the form lists them.
enum { kName, kCity, kSex, kAgree, kState, kPlan, kNotes };

const COLORREF kYellow = RGB(255, 255, 204); // /BG [1 1 0.8]
const COLORREF kBlue = RGB(0, 0, 255);       // /BC [0 0 1]
const COLORREF kGrey = RGB(191, 191, 191);   // /BG [0.75]
const COLORREF kTint = RGB(214, 224, 255);   // the field highlight

// One pixel of a window as it is on the screen.
COLORREF PixelOf(HWND hwnd, int x, int y)
{
    HDC screen = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    COLORREF colour = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, screen);
    return colour;
}

class WidgetAppearanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestControl().Reset();
        ASSERT_TRUE(WriteWholeFile(folder.File(L"library.pdf"), MakeLibraryStyleForm()));
        ASSERT_TRUE(LoadIntoContainer(window, folder.File(L"library.pdf")));
        form = window.Core().Form();
        ASSERT_NE(nullptr, form);
        ASSERT_EQ(L"", form->Error());
        RedrawWindow(form->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    void TearDown() override { TestControl().Reset(); }

    // Window pixels per page point: the 400-point page fills the client width less 8-pixel margins.
    double Scale() const
    {
        RECT rc;
        GetClientRect(form->Hwnd(), &rc);
        return (rc.right - 16) / 400.0;
    }
    // A control's rectangle in the form window.
    RECT Placed(HWND control) const
    {
        RECT rc;
        GetWindowRect(control, &rc);
        MapWindowPoints(nullptr, form->Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    // The colour inside a control near its right end, away from any text or box glyph.
    static COLORREF Inside(HWND control)
    {
        RECT rc;
        GetClientRect(control, &rc);
        return PixelOf(control, rc.right - 3, rc.bottom / 2);
    }
    static int FontHeight(HWND control)
    {
        LOGFONTW font = {};
        HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
        return std::abs(font.lfHeight);
    }
    std::wstring SaveReply()
    {
        window.SetInput(L"MsgRsp1", L"--");
        window.Send(L"Save");
        PumpPending();
        return window.Input(L"MsgRsp1");
    }

    TempFolder folder;
    TestBrowserWindow window;
    viewer::FormWindow* form = nullptr;
};

} // namespace

TEST_F(WidgetAppearanceTest, BackgroundAndBorderColoursAreDrawn)
{
    HWND name = form->ControlOf(kName);
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(kYellow, Inside(name));
    // The 2-point blue border surrounds the control: the page shows it on all four sides.
    const int border = static_cast<int>(std::lround(2 * Scale()));
    ASSERT_GE(border, 2);
    RECT rc = Placed(name);
    const int midX = (rc.left + rc.right) / 2, midY = (rc.top + rc.bottom) / 2;
    EXPECT_EQ(kBlue, PixelOf(form->Hwnd(), rc.left - 1, midY));
    EXPECT_EQ(kBlue, PixelOf(form->Hwnd(), rc.left - border, midY));
    EXPECT_EQ(kBlue, PixelOf(form->Hwnd(), rc.right, midY));
    EXPECT_EQ(kBlue, PixelOf(form->Hwnd(), midX, rc.top - 1));
    EXPECT_EQ(kBlue, PixelOf(form->Hwnd(), midX, rc.bottom));
    // Outside the widget the page is white again.
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(form->Hwnd(), rc.left - border - 2, midY));
    // The widget keeps its place on the page: the border's outer edge is the rectangle's left.
    const double left = 8 + 100 * Scale();
    EXPECT_NEAR(left, rc.left - border, 1.0);

    // Radio buttons: grey inside a black border; 3 points through /Border for the first.
    HWND male = form->ControlOf(kSex, 0), female = form->ControlOf(kSex, 1);
    ASSERT_NE(nullptr, male);
    ASSERT_NE(nullptr, female);
    EXPECT_EQ(kGrey, Inside(male));
    EXPECT_EQ(kGrey, Inside(female));
    RECT m = Placed(male), f = Placed(female);
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(form->Hwnd(), m.left - static_cast<int>(std::lround(3 * Scale())), (m.top + m.bottom) / 2));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(form->Hwnd(), f.left - 1, (f.top + f.bottom) / 2));
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(form->Hwnd(), f.left - static_cast<int>(std::lround(Scale())) - 2, (f.top + f.bottom) / 2));

    // A border without a background: the page's white inside, no tint.
    HWND plan = form->ControlOf(kPlan);
    ASSERT_NE(nullptr, plan);
    RECT p = Placed(plan);
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(form->Hwnd(), p.left - 1, (p.top + p.bottom) / 2));
    EXPECT_NE(kTint, Inside(plan));
}

TEST_F(WidgetAppearanceTest, FieldsWithoutColoursAreTinted)
{
    for (int field : {kCity, kAgree, kNotes}) {
        HWND control = form->ControlOf(field);
        ASSERT_NE(nullptr, control) << field;
        EXPECT_EQ(kTint, Inside(control)) << field;
        // No border: the control covers the whole widget.
        EXPECT_NEAR(8 + 100 * Scale(), Placed(control).left, 1.0) << field;
    }
    // A drop-down's text box as well.
    HWND edit = FindWindowExW(form->ControlOf(kState), nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(kTint, Inside(edit));
    // Typing keeps the tint behind the text.
    HWND city = form->ControlOf(kCity);
    SetWindowTextW(city, L"Springfield");
    RedrawWindow(city, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(kTint, Inside(city));
}

TEST_F(WidgetAppearanceTest, TextTakesTheSizeItsAppearanceNames)
{
    // 10 points; the form's 12 points for a field that names none.
    EXPECT_EQ(std::lround(10 * Scale()), FontHeight(form->ControlOf(kName)));
    EXPECT_EQ(std::lround(12 * Scale()), FontHeight(form->ControlOf(kNotes)));
    // Size 0: one line fills the 40-point box.
    HWND city = form->ControlOf(kCity);
    RECT rc;
    GetClientRect(city, &rc);
    const int height = FontHeight(city);
    EXPECT_GT(height, rc.bottom * 6 / 10);
    EXPECT_LE(height, rc.bottom);
    // Zooming in scales the named size.
    window.Send(L"ZoomIn");
    PumpPending();
    ASSERT_DOUBLE_EQ(1.25, form->ZoomFactor());
    EXPECT_EQ(std::lround(10 * Scale() * 1.25), FontHeight(form->ControlOf(kName)));
}

TEST_F(WidgetAppearanceTest, ClicksAndChoicesReportExportValues)
{
    EXPECT_EQ(L"name=|city=|sex=F|agree=On|state=CA|plan=Gold|notes=", SaveReply());
    HWND male = form->ControlOf(kSex, 0);
    ASSERT_NE(nullptr, male);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(male, BM_GETCHECK, 0, 0));
    SendMessageW(male, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(male, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(form->ControlOf(kSex, 1), BM_GETCHECK, 0, 0));

    // The drop-down lists the option texts and shows the chosen one.
    HWND state = form->ControlOf(kState);
    ASSERT_NE(nullptr, state);
    ASSERT_EQ(3, SendMessageW(state, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageW(state, CB_GETCURSEL, 0, 0));
    SendMessageW(state, CB_SETCURSEL, 0, 0);
    SendMessageW(form->Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(state), CBN_SELCHANGE), reinterpret_cast<LPARAM>(state));
    SendMessageW(form->ControlOf(kAgree), BM_CLICK, 0, 0);
    EXPECT_EQ(L"name=|city=|sex=M|agree=|state=NY|plan=Gold|notes=", SaveReply());

    // Values set back select the matching widget and option.
    window.Send(L"FieldSet|<r><sex>F</sex><state>TX</state><agree>On</agree></r>");
    PumpPending();
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(male, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageW(form->ControlOf(kSex, 1), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageW(form->ControlOf(kAgree), BM_GETCHECK, 0, 0));
    EXPECT_EQ(2, SendMessageW(state, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"name=|city=|sex=F|agree=On|state=TX|plan=|notes=", SaveReply());
}

TEST_F(WidgetAppearanceTest, PrintedPagesCarryTheColoursButNoTint)
{
    // A memory device of 96 pixels per inch: 4/3 pixels per point, page edge at the device's corner.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 540, 540);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_EQ(96, GetDeviceCaps(dc, LOGPIXELSX));
    RECT all = {0, 0, 540, 540};
    auto render = [&](viewer::PrintMode mode) {
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        form->Render(dc, 0, mode, 0, 0);
    };
    // name: x 133..400, y 48..80, a border of 3 pixels; city: y 107..160.
    render(viewer::PrintMode::All);
    EXPECT_EQ(kBlue, GetPixel(dc, 134, 64));
    EXPECT_EQ(kBlue, GetPixel(dc, 300, 49));
    EXPECT_EQ(kYellow, GetPixel(dc, 380, 64));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 130, 64));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 380, 133));
    render(viewer::PrintMode::AllBlackWhite);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 134, 64));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 380, 64));
    render(viewer::PrintMode::Text);
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 134, 64));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 380, 64));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(WidgetFill, BackgroundThenTintWhereNoBorderShows)
{
    pdf::Widget widget;
    COLORREF colour = 0;
    EXPECT_TRUE(viewer::WidgetFill(widget, true, colour));
    EXPECT_EQ(kTint, colour);
    EXPECT_FALSE(viewer::WidgetFill(widget, false, colour)); // paper gets no tint

    // A border colour of width 0 draws nothing: still tinted.
    widget.border.present = true;
    widget.borderWidth = 0;
    EXPECT_EQ(0, viewer::BorderPixels(widget, 2.0));
    EXPECT_TRUE(viewer::WidgetFill(widget, true, colour));
    // A visible border is enough to find the field.
    widget.borderWidth = 0.2;
    EXPECT_EQ(1, viewer::BorderPixels(widget, 2.0));
    EXPECT_FALSE(viewer::WidgetFill(widget, true, colour));

    widget.background.present = true;
    widget.background.rgb[0] = 1;
    colour = 0;
    EXPECT_TRUE(viewer::WidgetFill(widget, false, colour));
    EXPECT_EQ(RGB(255, 0, 0), colour);
}
