// The registration dialog on real windows: a first start registers by a mouse click on the visible
// button; a form that gives no field list keeps the dialog open with the "Registration Error"
// message; the modeless dialog's modes and its layout.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "formdb/FormDatabase.h"
#include "pages/RegisterForm.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "viewer/ViewerTestControl.h"

namespace {
CRect ScreenRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

// Each button is whole inside the dialog's client area, above the browser, and clear of the others.
void ExpectButtonsInTheStrip(HWND dialog, HWND browser, std::initializer_list<int> ids)
{
    CRect client;
    ::GetClientRect(dialog, &client);
    ::MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const CRect below = ScreenRectOf(browser);
    std::vector<CRect> seen;
    for (int id : ids)
    {
        const CRect button = ScreenRectOf(::GetDlgItem(dialog, id));
        CRect inside;
        inside.IntersectRect(&button, &client);
        EXPECT_EQ(button, inside) << "button " << id << " is not whole";
        EXPECT_LE(button.bottom, below.top) << "button " << id << " lies under the browser";
        for (const CRect& other : seen)
        {
            CRect both;
            EXPECT_FALSE(both.IntersectRect(&button, &other)) << "button " << id << " overlaps another";
        }
        seen.push_back(button);
    }
}

// A left click at the window's centre, delivered to whatever window is there; that window.
HWND ClickAtCentre(HWND target)
{
    const CPoint centre = ScreenRectOf(target).CenterPoint();
    const HWND reached = ::WindowFromPoint(centre);
    POINT local = centre;
    ::ScreenToClient(reached, &local);
    ::PostMessageW(reached, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    ::PostMessageW(reached, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    return reached;
}
} // namespace

TEST(RegisterForm, FirstStartRegistersByAClickOnTheVisibleButton)
{
    FormPageFixture fixture;
    DialogDriver driver;
    HWND registerButton = nullptr, reached = nullptr;
    CRect opened;
    driver.OnDialog(L"New Forms Registration", [&](HWND dialog) {
        registerButton = ::GetDlgItem(dialog, IDOK);
        opened = ScreenRectOf(dialog);
        RegisterForm* form = dynamic_cast<RegisterForm*>(CWnd::FromHandlePermanent(dialog));
        ASSERT_NE(nullptr, form);
        ExpectButtonsInTheStrip(dialog, form->m_browser.m_hWnd, {IDOK, IDCANCEL});
        reached = ClickAtCentre(registerButton);
        if (reached != registerButton)
            ClickButton(dialog, IDCANCEL); // the click went elsewhere: end the dialog all the same
    });
    fixture.ShowPage();
    EXPECT_EQ(registerButton, reached) << "the click at the button's centre reached another window";
    EXPECT_EQ(FormRegistration::Registered, CheckFormRegistration(fixture.Database()));
    EXPECT_TRUE(fixture.boxes.empty());
    // It opened over the main window.
    const CRect main = ScreenRectOf(fixture.frame.m_hWnd);
    EXPECT_NEAR(main.CenterPoint().x, opened.CenterPoint().x, 3);
    EXPECT_NEAR(main.CenterPoint().y, opened.CenterPoint().y, 3);
}

TEST(RegisterForm, TheNotRegisteredMessageOpensCentredOnTheMainWindow)
{
    FormPageFixture fixture;
    AfxSetMessageBoxSink(nullptr); // the real message box, as the user sees it
    fixture.frame.SetWindowPos(nullptr, 10, 20, 900, 640, SWP_NOZORDER);
    DialogDriver driver;
    CRect box;
    driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    driver.OnDialog(L"Formstead", [&](HWND dialog) {
        box = ScreenRectOf(dialog);
        ClickButton(dialog, IDOK);
    });
    fixture.ShowPage();
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
    ASSERT_FALSE(box.IsRectEmpty());
    const CRect main = ScreenRectOf(fixture.frame.m_hWnd);
    EXPECT_NEAR(main.CenterPoint().x, box.CenterPoint().x, 3);
    EXPECT_NEAR(main.CenterPoint().y, box.CenterPoint().y, 3);
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database()));
}

TEST(RegisterForm, FormWithoutAFieldListKeepsTheDialogOpen)
{
    FormPageFixture fixture;
    DialogDriver driver;
    bool openAfterFailure = false;
    driver.OnDialog(L"New Forms Registration", [](HWND dialog) {
        viewer::TestControl().noDocument = true; // the page has no document: the form never answers
        ClickButton(dialog, IDOK);
    });
    driver.Then([&] {
        if (fixture.boxes.empty())
            return false;
        HWND dialog = FindThreadDialog(L"New Forms Registration");
        openAfterFailure = dialog != nullptr;
        viewer::TestControl().noDocument = false;
        if (dialog)
            ClickButton(dialog, IDCANCEL);
        return true;
    });
    fixture.ShowPage();
    EXPECT_TRUE(openAfterFailure);
    ASSERT_EQ(2u, fixture.boxes.size());
    EXPECT_EQ(L"Get info from the form failed", fixture.boxes[0].text);
    EXPECT_EQ(L"Registration Error", fixture.boxes[0].caption);
    EXPECT_NE(std::wstring::npos, fixture.boxes[1].text.find(L"not registered"));
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database()));
}

TEST(RegisterForm, ModelessModesAndLayout)
{
    TestHost host;
    host.programFolder = L"C:\\nowhere\\";
    RegisterForm dialog(&host);
    ASSERT_TRUE(dialog.Create(RegisterForm::IDD, nullptr));
    EXPECT_EQ(RegisterForm::kModeNone, dialog.m_nMode);
    EXPECT_FALSE(dialog.IsWindowVisible());

    dialog.SetMode(RegisterForm::kModeDownload);
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_STREQ(L"Download form updates (http://127.0.0.1:1/updates)", caption.GetString());
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, IDOK)));

    dialog.m_szImportPath = L"C:\\nowhere\\done.pdf";
    dialog.SetMode(RegisterForm::kModeImport);
    dialog.GetWindowText(caption);
    EXPECT_STREQ(L"Import Completed Files", caption.GetString());
    dialog.ShowWindow(SW_SHOW);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, IDOK)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, 1040)));

    // The browser fills the client area below a strip of 25 pixels; Cancel sits at the top right,
    // the mode's own button beside it, both whole above the browser at any size.
    for (CSize size : {CSize(700, 500), CSize(420, 260)})
    {
        dialog.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        CRect client, browser, cancel;
        dialog.GetClientRect(&client);
        dialog.m_browser.GetWindowRect(&browser);
        dialog.ScreenToClient(&browser);
        dialog.m_cancel.GetWindowRect(&cancel);
        dialog.ScreenToClient(&cancel);
        EXPECT_EQ(CRect(0, 25, client.right, client.bottom), browser);
        EXPECT_EQ(client.right, cancel.right);
        EXPECT_EQ(0, cancel.top);
        ExpectButtonsInTheStrip(dialog.m_hWnd, dialog.m_browser.m_hWnd, {1040, IDCANCEL});
    }
    dialog.DestroyWindow();
}
