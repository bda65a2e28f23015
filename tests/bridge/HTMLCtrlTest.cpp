// CHTMLCtrl on a real window: taking the place of a static, the page-loaded flag, the hidden inputs
// and page functions, "app:" navigations made by the page, and the claim form's fields shown in it.
#include "BridgeTestWindow.h"
#include "tests/support/SleepRecorder.h"
#include "tests/support/TempFolder.h"

namespace {

class CommandRecorder : public CHTMLCtrl
{
public:
    void OnAppCmd(LPCTSTR lpszCmd) override { commands.push_back(lpszCmd); }
    std::vector<std::wstring> commands;
};

} // namespace

TEST_F(BridgeTest, CreateFromStaticTakesThePlaceOfTheStatic)
{
    RECT placeholder;
    ::GetWindowRect(m_static, &placeholder);
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    EXPECT_FALSE(::IsWindow(m_static));
    EXPECT_EQ(m_ctrl.m_hWnd, ::GetDlgItem(m_parent.m_hWnd, 1022));
    EXPECT_EQ(m_parent.m_hWnd, ::GetParent(m_ctrl.m_hWnd));
    RECT now;
    ::GetWindowRect(m_ctrl.m_hWnd, &now);
    EXPECT_TRUE(::EqualRect(&placeholder, &now));
    EXPECT_EQ(0u, m_ctrl.GetStyle() & WS_VSCROLL);
    EXPECT_NE(0u, m_ctrl.GetStyle() & WS_VISIBLE);

    CHTMLCtrl other;
    EXPECT_FALSE(other.CreateFromStatic(4711, &m_parent));
    EXPECT_EQ(nullptr, other.m_hWnd);
}

TEST_F(BridgeTest, LoadedFlagComesWithDocumentCompleteAndStays)
{
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    EXPECT_FALSE(m_ctrl.m_bLoaded);
    EXPECT_EQ(-1, m_ctrl.m_nStatementId);
    EXPECT_FALSE(m_ctrl.m_bStatementRequested);
    m_ctrl.Navigate2(L"file:///C:/Formstead/container.htm");
    EXPECT_FALSE(m_ctrl.m_bLoaded); // only once the program pumps
    EXPECT_TRUE(WaitForPageLoad(m_ctrl));
    viewer::TestControl().documentCompleteMissing = true;
    m_ctrl.Navigate2(L"file:///C:/Formstead/container.htm");
    PumpPendingMessages();
    EXPECT_TRUE(m_ctrl.m_bLoaded);
}

TEST_F(BridgeTest, PageLoadWaitGivesUpAfterItsPasses)
{
    viewer::TestControl().documentCompleteMissing = true;
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    m_ctrl.Navigate2(L"file:///C:/Formstead/container.htm");
    SleepRecorder sleeps;
    EXPECT_FALSE(WaitForPageLoad(m_ctrl)); // ends at all: the heartbeat keeps each pump short
    EXPECT_TRUE(sleeps.Are(100, 20)) << sleeps.Sleeps().size() << " pauses"; // 100 passes of 20 ms
}

TEST_F(BridgeTest, WaitsOnAControlWithoutAWindowPumpNothing)
{
    CHTMLCtrl never; // its static was missing: CreateFromStatic failed
    ASSERT_FALSE(never.CreateFromStatic(4711, &m_parent));
    ::PostMessageW(m_parent.m_hWnd, WM_NULL, 0, 0x5EED);
    SleepRecorder sleeps;
    EXPECT_FALSE(WaitForPageLoad(never));
    CString reply = L"kept";
    EXPECT_EQ(0, WaitForPageReply(never, reply));
    EXPECT_TRUE(sleeps.Sleeps().empty());
    EXPECT_EQ(CString(L"kept"), reply);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, m_parent.m_hWnd, WM_NULL, WM_NULL, PM_REMOVE)); // still queued
    EXPECT_EQ(0x5EED, msg.lParam);
}

TEST_F(BridgeTest, InputsReadWholeAndEmptyOrMissingLeaveTheValue)
{
    OpenContainer();
    CString value = L"?";
    m_ctrl.GetInputValue(L"MsgRsp2", value); // empty input
    EXPECT_EQ(CString(L"?"), value);
    m_ctrl.GetInputValue(L"NoSuchInput", value);
    EXPECT_EQ(CString(L"?"), value);

    CString big;
    for (int i = 0; i < 13000; ++i) big += L"0123456789";
    big += L"end";
    m_ctrl.SetInputValue(L"MsgRsp3", big);
    m_ctrl.GetInputValue(L"MsgRsp3", value);
    EXPECT_EQ(130003, value.GetLength());
    EXPECT_EQ(big, value);

    m_ctrl.SetInputValue(L"NoSuchInput", L"x");
    m_ctrl.CallScript(L"NoSuchFunction"); // changes nothing, reports nothing
    value = L"?";
    m_ctrl.GetInputValue(L"MsgRsp1", value);
    EXPECT_EQ(CString(L"?"), value);
    m_ctrl.CallScript(L"Button2_onclick");
    m_ctrl.GetInputValue(L"MsgRsp1", value);
    EXPECT_EQ(CString(L"--"), value);
    m_ctrl.CallScript(L"ClearStat");
    value = L"?";
    m_ctrl.GetInputValue(L"MsgRsp1", value);
    EXPECT_EQ(CString(L"?"), value);
}

TEST_F(BridgeTest, ANavigationWithoutDocumentIgnoresEveryPageCall)
{
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    CString value = L"keep";
    m_ctrl.SetInputValue(L"MsgRsp1", L"x");
    m_ctrl.GetInputValue(L"MsgRsp1", value);
    m_ctrl.CallScript(L"Button2_onclick");
    EXPECT_EQ(CString(L"keep"), value);
    EXPECT_EQ(nullptr, m_ctrl.GetHtmlDocument());
}

TEST_F(BridgeTest, AppAddressesOfThePageBecomeCommands)
{
    // The commands come from a form of the store, one of the program's own documents.
    TempFolder store;
    ASSERT_TRUE(::CopyFileW(Sample(L"cms1500.pdf").c_str(), store.File(L"claim.pdf").c_str(), FALSE));
    CommandRecorder ctrl;
    ASSERT_TRUE(ctrl.CreateFromStatic(1022, &m_parent));
    ctrl.SetOwnPlaces(L"C:\\Formstead\\", store.Path().c_str(), L"");
    ctrl.Navigate2(L"file:///C:/Formstead/container.htm");
    ASSERT_TRUE(WaitForPageLoad(ctrl));
    LoadPdfIntoPage(ctrl, store.File(L"claim.pdf").c_str());
    PumpPendingMessages();
    viewer::NavigateFromPageForTest(ctrl.m_hWnd, L"app:deleteRecord?42");
    viewer::NavigateFromPageForTest(ctrl.m_hWnd, L"APP:toSetAddr?7");
    PumpPendingMessages();
    std::vector<std::wstring> expected = {L"deleteRecord?42", L"toSetAddr?7"};
    EXPECT_EQ(expected, ctrl.commands);
    EXPECT_EQ(CString(L"file:///C:/Formstead/container.htm"), ctrl.GetLocationURL()); // cancelled
    ctrl.DestroyWindow();
}

TEST_F(BridgeTest, TheClaimFormsFieldsShowInTheControl)
{
    OpenClaimForm();
    viewer::FormWindow* form = m_ctrl.GetFormWindow();
    EXPECT_EQ(L"", form->Error());
    EXPECT_EQ(m_ctrl.m_hWnd, ::GetParent(form->Hwnd()));
    int visibleFields = 0, boxes = 0;
    for (size_t f = 0; f < form->Script().Form().fields.size(); ++f) {
        HWND control = form->ControlOf(f);
        if (!control || !::IsWindowVisible(control)) continue;
        ++visibleFields;
        wchar_t cls[16] = {};
        ::GetClassNameW(control, cls, 16);
        if (lstrcmpiW(cls, L"Button") == 0) ++boxes;
    }
    EXPECT_EQ(225, visibleFields);
    EXPECT_EQ(37, boxes);
    // Scaled to the control's width: the patient's name box spans columns 2 to 32 of 90.
    RECT client, name;
    ::GetClientRect(form->Hwnd(), &client);
    ::GetWindowRect(form->ControlOf(8), &name);
    double expected = (client.right - 16) * 30.7 / 90;
    EXPECT_NEAR(expected, name.right - name.left, expected * 0.05);
}

TEST_F(BridgeTest, TabMovesBetweenTheFormsFields)
{
    OpenClaimForm();
    viewer::FormWindow* form = m_ctrl.GetFormWindow();
    HWND name = form->ControlOf(8), birth = form->ControlOf(9);
    ::SetFocus(name);
    ASSERT_EQ(name, ::GetFocus());
    ::PostMessageW(name, WM_KEYDOWN, VK_TAB, 0);
    PumpPendingMessagesThroughTheFramework();
    EXPECT_EQ(birth, ::GetFocus());
    // The last field is far below: it is scrolled into view.
    HWND last = form->ControlOf(220);
    ::SetFocus(form->ControlOf(219));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PumpPendingMessagesThroughTheFramework();
    EXPECT_EQ(last, ::GetFocus());
    RECT client, rc;
    ::GetClientRect(form->Hwnd(), &client);
    ::GetWindowRect(last, &rc);
    ::MapWindowPoints(nullptr, form->Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_GE(rc.top, 0);
    EXPECT_LE(rc.bottom, client.bottom);
}
