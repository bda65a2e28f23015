// The window core on real windows: message maps (base and derived, commands, notifications,
// registered messages), Default(), the handle map with temporary wrappers, subclassing, destruction.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "GeometryPrinters.h"
#include <vector>

namespace
{
const UINT kRegisteredMessage = ::RegisterWindowMessageW(L"FormsteadFrameworkTestMessage");

class BaseWindow : public CWnd
{
public:
    std::vector<CString> calls;
    CSize lastSize;
    CPoint lastClick;

protected:
    afx_msg void OnSize(UINT type, int cx, int cy) { lastSize = CSize(cx, cy); calls.push_back(L"base size"); CWnd::OnSize(type, cx, cy); }
    afx_msg void OnLButtonDown(UINT, CPoint point) { lastClick = point; calls.push_back(L"base click"); }
    afx_msg LRESULT OnApp(WPARAM wParam, LPARAM lParam) { calls.push_back(L"app"); return (LRESULT)(wParam + lParam); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_APP + 1, OnApp)
END_MESSAGE_MAP()

// Overrides one handler of its base and adds commands, notifications and a registered message.
class DerivedWindow : public BaseWindow
{
public:
    CButton button;
    int created = 0;
    int postNcDestroyed = 0;
    UINT lastNotifyCode = 0;
    CString textSeenBeforeDefault;
    void PostNcDestroy() override { ++postNcDestroyed; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        if (CWnd::OnCreate(cs) == -1)
            return -1;
        ++created;
        return button.Create(L"Press", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 20), this, 501) ? 0 : -1;
    }
    afx_msg void OnLButtonDown(UINT, CPoint point) { lastClick = point; calls.push_back(L"derived click"); }
    afx_msg void OnPress() { calls.push_back(L"pressed"); }
    afx_msg void OnRange(UINT id) { calls.push_back(L"range"); lastNotifyCode = id; }
    afx_msg void OnClickNotify(NMHDR* header, LRESULT* result) { lastNotifyCode = header->code; *result = 77; }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) { calls.push_back(L"registered"); return (LRESULT)wParam * 2; }
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        textSeenBeforeDefault = (LPCWSTR)lParam;
        return Default();   // the default procedure stores the text
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(501, OnPress)
    ON_COMMAND_RANGE(600, 610, OnRange)
    ON_NOTIFY(NM_CLICK, 700, OnClickNotify)
    ON_REGISTERED_MESSAGE(kRegisteredMessage, OnRegistered)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

struct WindowCore : ::testing::Test
{
    DerivedWindow window;
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateEx(0, nullptr, L"core", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr));
    }
    void TearDown() override
    {
        if (window.m_hWnd)
            window.DestroyWindow();
    }
};
}

TEST_F(WindowCore, CreationRoutesCreateAndBindsTheHandle)
{
    EXPECT_EQ(1, window.created);
    EXPECT_EQ(&window, CWnd::FromHandlePermanent(window.m_hWnd));
    EXPECT_EQ(&window, CWnd::FromHandle(window.m_hWnd));
    EXPECT_EQ(&window.button, CWnd::FromHandle(window.button.m_hWnd));
    EXPECT_EQ(&window, window.button.GetParent());
    EXPECT_EQ(501, window.button.GetDlgCtrlID());
}

TEST_F(WindowCore, DerivedHandlerReplacesBaseAndBaseHandlersStillRun)
{
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    window.MoveWindow(10, 10, 250, 150);
    ASSERT_EQ(2u, window.calls.size());
    EXPECT_EQ(CString(L"derived click"), window.calls[0]);
    EXPECT_EQ(CPoint(12, 34), window.lastClick);
    EXPECT_EQ(CString(L"base size"), window.calls[1]);
    CRect client;
    window.GetClientRect(&client);
    EXPECT_EQ(client.Size(), window.lastSize);
}

TEST_F(WindowCore, CommandsNotificationsAndRawMessagesReachTheirHandlers)
{
    window.button.SendMessage(BM_CLICK);   // the button reports BN_CLICKED to its parent
    window.SendMessage(WM_COMMAND, MAKEWPARAM(605, 0), 0);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(611, 0), 0);   // outside the range: nobody
    EXPECT_EQ(3, (int)window.SendMessage(WM_APP + 1, 1, 2));
    EXPECT_EQ(42, (int)window.SendMessage(kRegisteredMessage, 21, 0));
    NMHDR header = {window.button.m_hWnd, 700, (UINT)NM_CLICK};
    EXPECT_EQ(77, (int)window.SendMessage(WM_NOTIFY, 700, (LPARAM)&header));
    NMHDR other = {window.button.m_hWnd, 701, (UINT)NM_CLICK};
    EXPECT_EQ(0, (int)window.SendMessage(WM_NOTIFY, 701, (LPARAM)&other));
    std::vector<CString> expected = {L"pressed", L"range", L"app", L"registered"};
    EXPECT_EQ(expected, window.calls);
    EXPECT_EQ((UINT)NM_CLICK, window.lastNotifyCode);
}

TEST_F(WindowCore, DefaultReplaysTheCurrentMessage)
{
    window.SetWindowText(L"new caption");
    EXPECT_EQ(CString(L"new caption"), window.textSeenBeforeDefault);
    CString text;
    window.GetWindowText(text);
    EXPECT_EQ(CString(L"new caption"), text);
}

TEST_F(WindowCore, ForeignWindowsGetOneTemporaryWrapper)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, foreign);
    CWnd* first = CWnd::FromHandle(foreign);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(foreign, first->m_hWnd);
    EXPECT_EQ(first, CWnd::FromHandle(foreign));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(foreign));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(foreign));   // dropping the wrapper leaves the window alone
    ::DestroyWindow(foreign);
}

TEST_F(WindowCore, NullPointersAnswerNullHandles)
{
    CWnd* none = nullptr;
    EXPECT_EQ(nullptr, none->GetSafeHwnd());
    CGdiObject* noObject = nullptr;
    EXPECT_EQ(nullptr, noObject->GetSafeHandle());
}

TEST_F(WindowCore, DestructionUnbindsAndCallsPostNcDestroy)
{
    HWND hWnd = window.m_hWnd;
    HWND button = window.button.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(nullptr, window.button.m_hWnd);   // children are unbound as they go
    EXPECT_EQ(1, window.postNcDestroyed);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(button));
}

namespace
{
class CountingEdit : public CEdit
{
public:
    int presubclassed = 0;
    int chars = 0;
    void PreSubclassWindow() override { ++presubclassed; }

protected:
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags) { ++chars; CEdit::OnChar(ch, repeat, flags); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()
}

TEST_F(WindowCore, SubclassedControlsKeepTheirOwnBehaviour)
{
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 30, 100, 20, window.m_hWnd,
                                  (HMENU)(UINT_PTR)800, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    CountingEdit counting;
    ASSERT_TRUE(counting.SubclassDlgItem(800, &window));
    EXPECT_EQ(1, counting.presubclassed);
    counting.SendMessage(WM_CHAR, L'a');
    counting.SendMessage(WM_CHAR, L'b');
    EXPECT_EQ(2, counting.chars);
    CString text;
    counting.GetWindowText(text);
    EXPECT_EQ(CString(L"ab"), text);   // the edit control's own procedure still ran
    EXPECT_FALSE(counting.SubclassDlgItem(801, &window));
    EXPECT_EQ(edit, counting.UnsubclassWindow());
    ::SendMessageW(edit, WM_CHAR, L'c', 0);
    EXPECT_EQ(2, counting.chars);
}

namespace
{
class KeyWatcher : public CWnd
{
public:
    std::vector<UINT> seen;
    bool eat = false;
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            seen.push_back((UINT)msg->wParam);
        return eat;
    }
};
}

TEST_F(WindowCore, PumpOffersMessagesUpThroughTheParents)
{
    KeyWatcher parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CEdit child;
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 10));
    child.PostMessage(WM_KEYDOWN, VK_F5, 0);
    PumpPending();
    parent.eat = true;
    child.PostMessage(WM_KEYDOWN, 'X', 0);
    PumpPending();
    std::vector<UINT> expected = {VK_F5, 'X'};
    EXPECT_EQ(expected, parent.seen);
    parent.DestroyWindow();
}

TEST_F(WindowCore, RuntimeClassesKnowTheirBases)
{
    EXPECT_TRUE(window.button.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(window.button.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(window.button.IsKindOf(RUNTIME_CLASS(CEdit)));
    CObject* made = RUNTIME_CLASS(CFrameWnd)->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    delete made;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CButton)->CreateObject());
}
