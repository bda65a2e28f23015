// The stand-in debug viewer and the per-process viewer class name of the test programs.
#include "tests/support/TraceViewer.h"
#include "common/Diagnostics.h"
#include <cstdio>

TraceViewer::TraceViewer(LRESULT probeAnswer, const char* className)
    : m_class(className ? className : DebugViewerClass()), m_probeAnswer(probeAnswer)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &TraceViewer::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = m_class.c_str();
    m_registered = RegisterClassA(&wc) != 0;
    if (!m_registered)
        return;
    m_window = CreateWindowExA(0, m_class.c_str(), "viewer", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                               nullptr, instance, this);
    if (m_window)
        m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                 0, 0, 300, 200, m_window, reinterpret_cast<HMENU>(1020), instance, nullptr);
    if (m_edit)
        SendMessageW(m_edit, EM_SETLIMITTEXT, 0, 0);   // no limit: long traces are kept whole
}

TraceViewer::~TraceViewer()
{
    if (m_window)
        DestroyWindow(m_window);
    if (m_registered)
        UnregisterClassA(m_class.c_str(), GetModuleHandleW(nullptr));
}

bool TraceViewer::Ready() const
{
    return m_edit && FindWindowA(m_class.c_str(), nullptr) == m_window;
}

std::wstring TraceViewer::Text() const
{
    int length = GetWindowTextLengthW(m_edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(m_edit, &text[0], length + 1)));
    return text;
}

std::string TraceViewer::TextA() const
{
    int length = GetWindowTextLengthA(m_edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(m_edit, &text[0], length + 1)));
    return text;
}

LRESULT CALLBACK TraceViewer::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<TraceViewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_USER + 4 && self) {
        ++self->m_probes;
        return self->m_probeAnswer;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void UseProcessOwnDebugViewerClass()
{
    char name[40];
    std::snprintf(name, sizeof name, "FormsteadTestViewer-%lu", GetCurrentProcessId());
    SetDebugViewerClass(name);
}
