// The registration dialog on real windows: a form that gives no field list keeps the dialog open
// with the "Registration Error" message; the modeless dialog's modes and its layout.
#include <gtest/gtest.h>

#include "formdb/FormDatabase.h"
#include "pages/RegisterForm.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "viewer/ViewerTestControl.h"

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

    // The browser fills the client area below a strip of 25 pixels; Cancel sits at the top right.
    dialog.SetWindowPos(nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    CRect client, browser, cancel;
    dialog.GetClientRect(&client);
    dialog.m_browser.GetWindowRect(&browser);
    dialog.ScreenToClient(&browser);
    dialog.m_cancel.GetWindowRect(&cancel);
    dialog.ScreenToClient(&cancel);
    EXPECT_EQ(CRect(0, 25, client.right, client.bottom), browser);
    EXPECT_EQ(client.right, cancel.right);
    EXPECT_EQ(0, cancel.top);
    dialog.DestroyWindow();
}
