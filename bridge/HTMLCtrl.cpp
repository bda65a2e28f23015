// The browser host control: creation in place of a static, and the page operations on hidden
// inputs and page functions that every sender of the bridge uses.
#include "bridge/HTMLCtrl.h"
#include "common/Diagnostics.h"
#include "viewer/ContainerPage.h"

IMPLEMENT_DYNAMIC(CHTMLCtrl, CHtmlView)

BEGIN_MESSAGE_MAP(CHTMLCtrl, CHtmlView)
    ON_WM_DESTROY()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CHTMLCtrl::CHTMLCtrl() = default;

BOOL CHTMLCtrl::CreateFromStatic(UINT nID, CWnd* pParent)
{
    HWND placeholder = pParent ? ::GetDlgItem(pParent->GetSafeHwnd(), nID) : nullptr;
    if (!placeholder) return FALSE;
    CWnd wndStatic;
    if (!wndStatic.Attach(placeholder)) return FALSE;
    DWORD style = wndStatic.GetStyle();
    RECT rect;
    wndStatic.GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    wndStatic.DestroyWindow();
    return Create(nullptr, nullptr, style & ~WS_VSCROLL, rect, pParent, nID);
}

void CHTMLCtrl::SetInputValue(LPCTSTR lpszId, LPCTSTR lpszValue)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    if (!page || !lpszId) return;
    page->SetInputValue(lpszId, lpszValue ? lpszValue : L"");
}

void CHTMLCtrl::GetInputValue(LPCTSTR lpszId, CString& value)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    std::wstring text;
    if (!page || !lpszId || !page->GetInputValue(lpszId, text) || text.empty()) return;
    value = text.c_str();
}

void CHTMLCtrl::CallScript(LPCTSTR lpszFunction)
{
    viewer::HtmlDocument* page = GetHtmlDocument();
    if (page && lpszFunction) page->CallFunction(lpszFunction);
}

void CHTMLCtrl::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CArray<BYTE, BYTE>&, LPCTSTR, BOOL* pbCancel)
{
    DebugTraceW(lpszURL, TRUE);
    *pbCancel = FALSE;
    if (lpszURL && viewer::StartsWithNoCase(lpszURL, L"app:")) {
        OnAppCmd(lpszURL + 4);
        *pbCancel = TRUE;
    }
}

void CHTMLCtrl::OnDocumentComplete(LPCTSTR lpszURL)
{
    CHtmlView::OnDocumentComplete(lpszURL);
    m_bLoaded = true;
}

void CHTMLCtrl::OnAppCmd(LPCTSTR) {}

void CHTMLCtrl::OnDestroy()
{
    // Plain window destruction: the control has no frame or document to tell.
    CWnd::OnDestroy();
}

int CHTMLCtrl::OnMouseActivate(CWnd*, UINT, UINT)
{
    // A click activates the window as any control; there is no view in a frame to activate.
    return static_cast<int>(Default());
}
