// CHtmlView over the framework's window: the browser core takes its own messages, the events go to
// the virtual members, and e-mail and messages go through the framework's shell and message seams.
#include "viewer/HtmlView.h"
#include "framework/Seams.h"
#include "viewer/FormWindow.h"

IMPLEMENT_DYNAMIC(CHtmlView, CWnd)

CHtmlView::CHtmlView() : m_browser(*this) {}

CHtmlView::~CHtmlView()
{
    m_browser.Detach();
}

BOOL CHtmlView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, void* pContext)
{
    if (!lpszClassName)
        lpszClassName = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (!CWnd::Create(lpszClassName, lpszWindowName, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID, pContext))
        return FALSE;
    m_browser.Attach(m_hWnd);
    return TRUE;
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR, LPVOID, DWORD)
{
    m_browser.Navigate(lpszURL ? lpszURL : L"");
}

CString CHtmlView::GetLocationURL() const
{
    return CString(m_browser.LocationURL().c_str());
}

viewer::HtmlDocument* CHtmlView::GetHtmlDocument() const
{
    return m_browser.Document();
}

viewer::FormWindow* CHtmlView::GetFormWindow() const
{
    return m_browser.Form();
}

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, CArray<BYTE, BYTE>&, LPCTSTR, BOOL* pbCancel)
{
    *pbCancel = FALSE;
}

void CHtmlView::OnDocumentComplete(LPCTSTR) {}

BOOL CHtmlView::PreTranslateMessage(MSG* pMsg)
{
    viewer::FormWindow* form = m_browser.Form();
    if (form && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB &&
        form->FocusNextField(pMsg->hwnd, ::GetKeyState(VK_SHIFT) < 0))
        return TRUE;
    // A click on the page outside the fields gives the page the keyboard focus, as a reader's page
    // takes it, so that the reader's keys reach it; the click itself goes on (links, scrolling).
    if (form && form->Hwnd() && pMsg->message == WM_LBUTTONDOWN && pMsg->hwnd == form->Hwnd() &&
        ::GetFocus() != form->Hwnd())
        ::SetFocus(form->Hwnd());
    // Ctrl+P prints the document shown, as shown, as the reader's own command does: wherever the
    // focus is in the view (a field, the page, the view itself).
    if (form && form->Hwnd() && pMsg->message == WM_KEYDOWN && pMsg->wParam == 'P' && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0 && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        form->Print(viewer::PrintMode::All, 0, 0);
        return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CHtmlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) m_browser.Detach();
    LRESULT result = 0;
    if (m_browser.View() && m_browser.HandleMessage(message, wParam, lParam, result)) return result;
    return CWnd::WindowProc(message, wParam, lParam);
}

void CHtmlView::BeforeNavigate(const std::wstring& address, bool& cancel)
{
    CArray<BYTE, BYTE> posted;
    BOOL bCancel = FALSE;
    OnBeforeNavigate2(address.c_str(), 0, nullptr, posted, nullptr, &bCancel);
    cancel = bCancel != FALSE;
}

void CHtmlView::DocumentComplete(const std::wstring& address)
{
    OnDocumentComplete(address.c_str());
}

bool CHtmlView::OpenAddress(const std::wstring& address)
{
    return AfxShellOpen(m_hWnd, L"open", address.c_str()) != FALSE;
}

void CHtmlView::ShowMessage(const std::wstring& text)
{
    AfxShowMessageBox(m_hWnd, text.c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
}
