// The template-name dialog on a real window: an empty name keeps it open, OK gives the typed name,
// Cancel gives nothing, moving it calls back, it opens centred on the main window.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "pages/TemplateName.h"
#include "tests/pages/DialogDriver.h"

TEST(TemplateName, EmptyNameIsRefusedAndTheTypedNameIsKept)
{
    DialogDriver driver;
    bool stayedOpen = false;
    driver.OnDialog(L"Formstead", [](HWND dialog) { ClickButton(dialog, IDOK); });
    driver.Then([&]() {
        HWND dialog = FindThreadDialog(L"Formstead");
        stayedOpen = dialog != nullptr;
        if (dialog)
        {
            SetDlgItemTextW(dialog, 1023, L"Acme default");
            ClickButton(dialog, IDOK);
        }
        return true;
    });
    CTemplateName dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(stayedOpen);
    EXPECT_STREQ(L"Acme default", dialog.m_strName.GetString());
}

TEST(TemplateName, CancelGivesNoNameAndMovingCallsBack)
{
    DialogDriver driver;
    int moves = 0;
    bool movedByUser = false;
    driver.OnDialog(L"Formstead", [&](HWND dialog) {
        const int before = moves;
        SetWindowPos(dialog, nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        movedByUser = moves > before;
        SetDlgItemTextW(dialog, 1023, L"never kept");
        ClickButton(dialog, IDCANCEL);
    });
    CTemplateName dialog;
    dialog.m_onMove = [&moves]() { ++moves; };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(dialog.m_strName.IsEmpty());
    EXPECT_TRUE(movedByUser);
}

TEST(TemplateName, OpensCentredOnTheMainWindowOfTheBarThatAskedForIt)
{
    CWnd main, bar;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 30, 900, 600, nullptr,
                              nullptr));
    ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 30), &main, 148));
    DialogDriver driver;
    CRect opened;
    driver.OnDialog(L"Formstead", [&](HWND dialog) {
        ::GetWindowRect(dialog, &opened);
        ClickButton(dialog, IDCANCEL);
    });
    CTemplateName dialog(&bar);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    CRect owner;
    main.GetWindowRect(&owner);
    main.DestroyWindow();
    ASSERT_FALSE(opened.IsRectEmpty());
    EXPECT_NEAR(owner.CenterPoint().x, opened.CenterPoint().x, 3);
    EXPECT_NEAR(owner.CenterPoint().y, opened.CenterPoint().y, 3);
}
