// The test window of the bridge tests.
#include "BridgeTestWindow.h"
#include "framework/App.h"

void PumpPendingMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PumpPendingMessagesThroughTheFramework()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_TIMER) AfxPumpMessage();
}

void BridgeTest::SetUp()
{
    viewer::TestControl().Reset();
    ASSERT_TRUE(m_parent.CreateEx(0, nullptr, L"bridge", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900,
                                  760, nullptr, nullptr));
    m_static = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | SS_BLACKFRAME, 10, 49, 860, 650,
                                 m_parent.m_hWnd, reinterpret_cast<HMENU>(1022), ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, m_static);
}

void BridgeTest::TearDown()
{
    if (m_ctrl.m_hWnd) m_ctrl.DestroyWindow();
    m_parent.DestroyWindow();
    PumpPendingMessages();
    viewer::TestControl().Reset();
}

void BridgeTest::OpenContainer()
{
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    m_ctrl.Navigate2(L"file:///C:\\Program Files\\Formstead\\container.htm");
    ASSERT_TRUE(WaitForPageLoad(m_ctrl));
}

void BridgeTest::OpenClaimForm()
{
    OpenContainer();
    LoadPdfIntoPage(m_ctrl, Sample(L"cms1500.pdf").c_str());
    PumpPendingMessages();
    ASSERT_NE(nullptr, m_ctrl.GetFormWindow());
}
