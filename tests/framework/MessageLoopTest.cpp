// The message loop and the pumps: the framework's main routine runs an application to its end, a
// modal loop hands a quit request on to the loop outside it, and notifications reach a control's
// own map (reflection), a parent's colour handler and a bar's owner.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "GeometryPrinters.h"
#include <vector>

namespace
{
const UINT WM_TEST_QUIT_LATER = WM_APP + 20;

class QuittingDialog : public CDialog
{
public:
    QuittingDialog() : CDialog(9001) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::PostQuitMessage(7);
        return TRUE;
    }
};
}

TEST(MessageLoop, AQuitDuringAModalLoopEndsItAndStaysForTheOuterLoop)
{
    QuittingDialog dialog;
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7, (int)msg.wParam);
}

namespace
{
// Runs through the framework's main routine: its main window closes itself once the loop runs.
class LoopApp : public CWinApp
{
public:
    LoopApp() : CWinApp(L"LoopApp") {}
    std::vector<UINT> translated;
    int exits = 0;
    BOOL InitInstance() override
    {
        CWnd* window = new SelfClosingWindow;
        if (!window->CreateEx(0, nullptr, L"loop", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = window;
        window->PostMessage(WM_KEYDOWN, VK_F9);
        window->PostMessage(WM_TEST_QUIT_LATER);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            translated.push_back((UINT)pMsg->wParam);
        return CWinApp::PreTranslateMessage(pMsg);
    }
    int ExitInstance() override { ++exits; return CWinApp::ExitInstance() + 40; }

    class SelfClosingWindow : public CWnd
    {
    protected:
        afx_msg LRESULT OnQuitLater(WPARAM, LPARAM) { DestroyWindow(); return 0; }
        void PostNcDestroy() override { delete this; }
        DECLARE_MESSAGE_MAP()
    };
};

BEGIN_MESSAGE_MAP(LoopApp::SelfClosingWindow, CWnd)
    ON_MESSAGE(WM_TEST_QUIT_LATER, OnQuitLater)
END_MESSAGE_MAP()
}

TEST(MessageLoop, MainRoutineRunsUntilTheMainWindowIsGone)
{
    CWinApp* previous = AfxGetApp();
    {
        LoopApp app;
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_EQ(40, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, (LPTSTR)L"", SW_SHOW));
        EXPECT_EQ(1, app.exits);
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        std::vector<UINT> expected = {VK_F9};
        EXPECT_EQ(expected, app.translated);
    }
    EXPECT_EQ(previous, AfxGetApp());
}

namespace
{
// A control that takes its own click notification and colours itself.
class ReflectingButton : public CButton
{
public:
    int ownClicks = 0;
    int ownNotifies = 0;

protected:
    afx_msg void OnOwnClick() { ++ownClicks; }
    afx_msg void OnOwnNotify(NMHDR*, LRESULT* result) { ++ownNotifies; *result = 5; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnOwnClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnOwnNotify)
END_MESSAGE_MAP()

class ColouringParent : public CWnd
{
public:
    CBrush brush{RGB(1, 2, 3)};
    std::vector<UINT> kinds;
    int parentClicks = 0;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd*, UINT nCtlColor) { kinds.push_back(nCtlColor); pDC->SetTextColor(RGB(9, 9, 9)); return brush; }
    afx_msg void OnClick() { ++parentClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColouringParent, CWnd)
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(42, OnClick)
END_MESSAGE_MAP()
}

TEST(Notifications, ReflectedToTheControlFirstAndColoursAskedOfTheParent)
{
    ColouringParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    ReflectingButton button;
    ASSERT_TRUE(button.Create(L"b", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 42));
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(1, button.ownClicks);
    EXPECT_EQ(0, parent.parentClicks);   // the control took its own notification
    NMHDR header = {button.m_hWnd, 42, (UINT)NM_CUSTOMDRAW};
    EXPECT_EQ(5, (int)parent.SendMessage(WM_NOTIFY, 42, (LPARAM)&header));
    EXPECT_EQ(1, button.ownNotifies);

    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 30, 50, 50), &parent, 43));
    CClientDC dc(&edit);
    HBRUSH answered = (HBRUSH)parent.SendMessage(WM_CTLCOLOREDIT, (WPARAM)dc.m_hDC, (LPARAM)edit.m_hWnd);
    EXPECT_EQ((HBRUSH)parent.brush, answered);
    EXPECT_EQ(RGB(9, 9, 9), dc.GetTextColor());
    parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc.m_hDC, (LPARAM)edit.m_hWnd);
    std::vector<UINT> expected = {CTLCOLOR_EDIT, CTLCOLOR_STATIC};
    EXPECT_EQ(expected, parent.kinds);
    parent.DestroyWindow();
}
