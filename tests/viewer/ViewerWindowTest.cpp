// The test window around a BrowserCore.
#include "ViewerWindowTest.h"
#include <gtest/gtest.h>
#include <algorithm>
#include "tests/support/Dib32.h"

TestBrowserWindow::TestBrowserWindow() : m_core(*this)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FormsteadTestBrowser";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        registered = RegisterClassW(&wc) != 0;
    }
    m_hwnd = CreateWindowExW(0, L"FormsteadTestBrowser", L"viewer test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 700,
                             nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_core.Attach(m_hwnd);
}

TestBrowserWindow::~TestBrowserWindow()
{
    m_core.Detach();
    DestroyWindow(m_hwnd);
    PumpPending();
}

void TestBrowserWindow::BeforeNavigate(const std::wstring& address, bool& cancel)
{
    navigations.push_back(address);
    if (cancelWhen && cancelWhen(address)) cancel = true;
}

LRESULT CALLBACK TestBrowserWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestBrowserWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->m_core.View() == hwnd && self->m_core.HandleMessage(msg, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::wstring TestBrowserWindow::Input(const std::wstring& id)
{
    std::wstring value;
    if (viewer::HtmlDocument* doc = m_core.Document()) doc->GetInputValue(id, value);
    return value;
}

void TestBrowserWindow::SetInput(const std::wstring& id, const std::wstring& value)
{
    if (viewer::HtmlDocument* doc = m_core.Document()) doc->SetInputValue(id, value);
}

bool TestBrowserWindow::Call(const std::wstring& function)
{
    viewer::HtmlDocument* doc = m_core.Document();
    return doc && doc->CallFunction(function);
}

bool PumpOne()
{
    // The watchdog only ends a wait that would otherwise hang.
    MSG msg;
    for (DWORD start = GetTickCount(); !PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        if (GetTickCount() - start > 60000) {
            ADD_FAILURE() << "no message came within the watchdog";
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    if (msg.message == WM_QUIT)
        return true;   // taken, as GetMessage would, without dispatching
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring SamplePath(const std::wstring& name)
{
    return std::wstring(FORMSTEAD_SAMPLES_DIR) + name;
}

bool LoadIntoContainer(TestBrowserWindow& window, const std::wstring& docpath)
{
    window.Core().Navigate(L"file:///C:/Program/container.htm");
    PumpPending();
    window.SetInput(L"docpath", docpath);
    bool called = window.Call(L"DoLoadDoc");
    PumpPending();
    return called;
}

